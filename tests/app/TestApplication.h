// The one application object of the widget test program, on the offscreen platform
// (no X server needed). Every test that needs Qt's event loop or widgets calls it first.
#pragma once

#include <cstdlib>

#include <QApplication>

namespace zorvexa {

inline QApplication& testApplication() {
    static int argc = 1;
    static char name[] = "app_widget_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* instance = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return new QApplication(argc, argv);
    }();
    return *instance;
}

} // namespace zorvexa
