#include "main/shell/ui/X11WindowClass.h"

#include <string>

#include <QGuiApplication>
#include <QWidget>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace zorvexa {

void setNativeWindowClass(QWidget* window, const char* className) {
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->display())
        return;
    const auto id = static_cast<::Window>(window->winId());
    std::string name = className;
    std::string klass = className;
    XClassHint hint;
    hint.res_name = name.data();
    hint.res_class = klass.data();
    XSetClassHint(x11->display(), id, &hint);
    XFlush(x11->display());
}

} // namespace zorvexa
