#include "main/shell/ui/PaneWidget.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleHints>

#include "common/StageTiming.h"

namespace zorvexa {

PaneWidget::PaneWidget(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PaneWidget::setImage(QImage image) {
    image_ = std::move(image);
    update();
}

void PaneWidget::paintDirectly(std::function<void()> repaint) {
    directRepaint_ = std::move(repaint);
    setAttribute(Qt::WA_PaintOnScreen, static_cast<bool>(directRepaint_));
}

QPaintEngine* PaneWidget::paintEngine() const {
    return directRepaint_ ? nullptr : QWidget::paintEngine();
}

void PaneWidget::paint(QPainter& painter, const QSize& area, const QImage& image) {
    const QColor background(32, 32, 32);
    if (image.isNull()) {
        painter.fillRect(QRect(QPoint(0, 0), area), background);
        return;
    }
    QSize size = image.size();
    if (size.width() > area.width() || size.height() > area.height())
        size.scale(area, Qt::KeepAspectRatio);
    const QRect imageRect(QPoint(0, 0), size);
    // Only the strips the image leaves uncovered get the background colour.
    if (size.width() < area.width())
        painter.fillRect(QRect(size.width(), 0, area.width() - size.width(), area.height()),
                         background);
    if (size.height() < area.height())
        painter.fillRect(QRect(0, size.height(), size.width(), area.height() - size.height()),
                         background);
    if (size != image.size())
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(imageRect, image);
}

void PaneWidget::paintEvent(QPaintEvent*) {
    timing::Scope timed(timing::Stage::Painting);
    if (directRepaint_) {
        directRepaint_();
        return;
    }
    QPainter painter(this);
    paint(painter, size(), image_);
}

void PaneWidget::mousePressEvent(QMouseEvent* event) {
    // Qt delivers the second press of a double click as a press too: it is part of the
    // first click.
    const bool secondOfDouble =
        event->button() == lastButton_ &&
        event->timestamp() - lastPressTime_ <
            static_cast<quint64>(QGuiApplication::styleHints()->mouseDoubleClickInterval());
    lastButton_ = secondOfDouble ? Qt::NoButton : event->button();
    lastPressTime_ = event->timestamp();
    if (!mouseHandler_ || secondOfDouble)
        return;
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton)
        mouseHandler_(kLeftButtonDown, at.x(), at.y());
    else if (event->button() == Qt::RightButton)
        mouseHandler_(kRightButtonDown, at.x(), at.y());
}

void PaneWidget::mouseDoubleClickEvent(QMouseEvent*) {
    // Its first press has been reported; the default would report another one.
}

} // namespace zorvexa
