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

void PaneWidget::paintEvent(QPaintEvent*) {
    timing::Scope timed(timing::Stage::Painting);
    QPainter painter(this);
    const QColor background(32, 32, 32);
    if (image_.isNull()) {
        painter.fillRect(rect(), background);
        return;
    }
    QSize size = image_.size();
    if (size.width() > width() || size.height() > height())
        size.scale(this->size(), Qt::KeepAspectRatio);
    const QRect imageRect(QPoint(0, 0), size);
    // Only the strips the image leaves uncovered get the background colour.
    if (size.width() < width())
        painter.fillRect(QRect(size.width(), 0, width() - size.width(), height()), background);
    if (size.height() < height())
        painter.fillRect(QRect(0, size.height(), size.width(), height() - size.height()),
                         background);
    if (size != image_.size())
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(imageRect, image_);
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
