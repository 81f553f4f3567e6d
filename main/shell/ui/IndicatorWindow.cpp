#include "main/shell/ui/IndicatorWindow.h"

#include <QGuiApplication>
#include <QScreen>

#include "main/shell/ui/X11WindowClass.h"

namespace zorvexa {

IndicatorWindow::IndicatorWindow()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus) {
    setWindowTitle(kIndicatorTitle);
    setObjectName(kIndicatorClass);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setWindowOpacity(70.0 / 255.0);
    setFixedSize(320, 240);
    const QRect screen = QGuiApplication::primaryScreen()
                             ? QGuiApplication::primaryScreen()->geometry()
                             : QRect(0, 0, 640, 480);
    move(placement(screen.width(), screen.height()));
    // The native window exists from now on, so its class can be set before it is mapped.
    setNativeWindowClass(this, kIndicatorClass);
}

QPoint IndicatorWindow::placement(int screenWidth, int screenHeight) {
    return {screenWidth / 2 - 160, screenHeight / 4 - 120};
}

} // namespace zorvexa
