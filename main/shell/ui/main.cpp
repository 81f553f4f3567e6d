// zorvexa: control the desktop by exercising in front of a webcam.
//
// Environment:
//   ZORVEXA_CAMERA            device index or video file used instead of camera 0
//   ZORVEXA_TEST_STATUS_FILE  a file that receives every status bar text (for tests)
#include <atomic>
#include <csignal>
#include <cstdlib>

#include <QApplication>
#include <QTimer>

#include "main/shell/AppPaths.h"
#include "main/shell/AppState.h"
#include "main/shell/app/CommandIds.h"
#include "main/shell/ui/ShellController.h"
#include "platform/Desktop.h"
#include "platform/DesktopChoice.h"

namespace {

std::string envText(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Shared by every thread of the program; outlives them all.
zorvexa::AppState g_state;

// Set by Ctrl+C, a closed terminal or a session that ends: the program then closes as
// through File > Exit, so the options and the session's calories are saved.
std::atomic<bool> g_closeRequested{false};

void requestClose(int) {
    g_closeRequested.store(true);
}

void installCloseSignals() {
    struct sigaction action {};
    action.sa_handler = requestClose;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
}

} // namespace

int main(int argc, char** argv) {
    zorvexa::preferXWaylandForQt();
    QApplication::setApplicationName(QStringLiteral("Zorvexa"));
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false); // the shell quits when the main window closes

    zorvexa::ShellOptions options;
    options.cameraSource = envText("ZORVEXA_CAMERA");
    options.statusFile = envText("ZORVEXA_TEST_STATUS_FILE");

    zorvexa::ShellController shell(g_state, zorvexa::resolveAppPaths(),
                                   zorvexa::openSystemDesktop(), options);
    shell.startUp();
    installCloseSignals();
    QTimer closeWatch;
    QObject::connect(&closeWatch, &QTimer::timeout, [&shell] {
        if (g_closeRequested.exchange(false))
            shell.runCommand(zorvexa::command::kExit);
    });
    closeWatch.start(200);
    const int code = app.exec();
    shell.shutDown();
    return code;
}
