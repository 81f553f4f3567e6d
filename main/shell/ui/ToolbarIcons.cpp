#include "main/shell/ui/ToolbarIcons.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace zorvexa {

namespace {

const char* const kImageFiles[kToolbarImageCount] = {
    "webcam-settings.svg", // 0: video camera with a settings wheel
    "step-back.svg",       // 1
    "play.svg",            // 2
    "step-forward.svg",    // 3
    "stop.svg",            // 4
    "rewind.svg",          // 5
    "record.svg",          // 6: a red ring
    "webcam.svg",          // 7: video camera
    "webcam-off.svg",      // 8
    "exercise.svg",        // 9: an exercising figure
    "two-screens.svg",     // 10
    "reload.svg",          // 11: two circular arrows
    "bicycle.svg",         // 12
};

} // namespace

QString toolbarImagePath(int index) {
    if (index < 0 || index >= kToolbarImageCount)
        return {};
    return QStringLiteral(":/icons/") + QString::fromLatin1(kImageFiles[index]);
}

QIcon toolbarIcon(int index) {
    QSvgRenderer renderer(toolbarImagePath(index));
    if (!renderer.isValid())
        return {};
    QIcon icon;
    for (int size : {32, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace zorvexa
