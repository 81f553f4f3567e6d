// zorvexa: control the desktop by exercising in front of a webcam.
//
// Environment:
//   ZORVEXA_CAMERA            device index or video file used instead of camera 0
//   ZORVEXA_TEST_STATUS_FILE  a file that receives every status bar text (for tests)
//   ZORVEXA_TIMING            a file that receives the frame loop's per-stage CPU times
//                             (rewritten about once a second; for bench/live-cost.sh)
//
// The gesture configuration is config.xml in the working directory; without one there,
// the user's copy in $XDG_CONFIG_HOME/zorvexa (made from the shipped file on first start).
// The file in use is named on standard error.
#include <atomic>
#include <csignal>
#include <cstdlib>

#include <QApplication>
#include <QTimer>

#include "common/StageTiming.h"
#include "main/shell/AppPaths.h"
#include "main/shell/AppState.h"
#include "main/shell/app/CommandIds.h"
#include "main/shell/ui/ShellController.h"
#include "platform/Desktop.h"

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
    QApplication::setApplicationName(QStringLiteral("Zorvexa"));
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false); // the shell quits when the main window closes

    zorvexa::timing::enable(envText("ZORVEXA_TIMING"));
    zorvexa::ShellOptions options;
    options.cameraSource = envText("ZORVEXA_CAMERA");
    options.statusFile = envText("ZORVEXA_TEST_STATUS_FILE");

    zorvexa::AppPaths paths = zorvexa::resolveAppPaths();
    options.configPath = zorvexa::userConfigFile(paths, zorvexa::currentDirectory(), "config.xml");
    zorvexa::shellLog("gesture configuration: " + options.configPath);

    zorvexa::ShellController shell(g_state, std::move(paths), zorvexa::openSystemDesktop(),
                                   options);
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
    zorvexa::timing::disable();
    return code;
}
