// zorvexa: control the desktop by exercising in front of a webcam.
//
// Environment:
//   ZORVEXA_CAMERA            device index or video file used instead of camera 0
//   ZORVEXA_TEST_STATUS_FILE  a file that receives every status bar text (for tests)
#include <cstdlib>

#include <QApplication>

#include "main/shell/AppPaths.h"
#include "main/shell/AppState.h"
#include "main/shell/ui/ShellController.h"
#include "platform/Desktop.h"

namespace {

std::string envText(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Shared by every thread of the program; outlives them all.
zorvexa::AppState g_state;

} // namespace

int main(int argc, char** argv) {
    QApplication::setApplicationName(QStringLiteral("Zorvexa"));
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false); // the shell quits when the main window closes

    zorvexa::ShellOptions options;
    options.cameraSource = envText("ZORVEXA_CAMERA");
    options.statusFile = envText("ZORVEXA_TEST_STATUS_FILE");

    zorvexa::ShellController shell(g_state, zorvexa::resolveAppPaths(),
                                   zorvexa::openSystemDesktop(), options);
    shell.startUp();
    const int code = app.exec();
    shell.shutDown();
    return code;
}
