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
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <memory>

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>

#include "common/StageTiming.h"
#include "main/control/ExecutorThreads.h"
#include "main/shell/AppPaths.h"
#include "main/shell/AppState.h"
#include "main/shell/app/CommandIds.h"
#include "main/shell/ui/ShellController.h"
#include "platform/Desktop.h"
#include "platform/DesktopChoice.h"
#include "platform/DesktopLost.h"
#include "platform/HeldInput.h"

namespace {

std::string envText(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Shared by every thread of the program; outlives them all.
zorvexa::AppState g_state;

// Ctrl+C, a closed terminal or a session that ends: the program then closes as through
// File > Exit, so the options and the session's calories are saved. A second signal ends
// the program at once. The handler writes a byte into a pipe, which wakes the window
// thread's event loop only when a signal came.
std::atomic<int> g_closeSignals{0};
int g_closePipe[2] = {-1, -1};

void requestClose(int signal) {
    if (g_closeSignals.fetch_add(1) > 0 || g_closePipe[1] < 0)
        _exit(128 + signal);
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(g_closePipe[1], &byte, 1);
}

// How long the end of the program waits for executor threads (a click holds the button
// for a second; a pause ends early when asked to stop).
constexpr std::chrono::milliseconds kExecutorStopBound{2000};

// For exits that bypass the end of main (Qt ends the process when its display
// connection breaks): the session is saved from an exit handler.
std::atomic<zorvexa::ShellController*> g_shell{nullptr};

// Such an exit happens while the worker threads still run: once saved, the process ends
// at once, before static destructors pull libraries out from under those threads.
void saveSessionAtExit() {
    if (zorvexa::ShellController* shell = g_shell.load()) {
        shell->saveSession();
        std::_Exit(1);
    }
}

void installCloseSignals() {
    if (pipe2(g_closePipe, O_CLOEXEC | O_NONBLOCK) != 0)
        g_closePipe[0] = g_closePipe[1] = -1; // a signal then ends the program at once
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
    // A pane with a native window of its own must not give one to every sibling widget.
    QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
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
    g_shell.store(&shell);
    std::atexit(saveSessionAtExit);
    // The X connection lost (logout): save before the process ends.
    zorvexa::setDesktopLostHandler([&shell] { shell.saveSession(); });
    shell.startUp();
    installCloseSignals();
    std::unique_ptr<QSocketNotifier> closeWatch;
    if (g_closePipe[0] >= 0) {
        closeWatch = std::make_unique<QSocketNotifier>(g_closePipe[0], QSocketNotifier::Read);
        QObject::connect(closeWatch.get(), &QSocketNotifier::activated, [&shell] {
            char bytes[16];
            while (read(g_closePipe[0], bytes, sizeof bytes) > 0) {
            }
            shell.runCommand(zorvexa::command::kExit);
        });
    }
    const int code = app.exec();
    shell.shutDown();
    // No executor presses anything from here on; what is still held goes up.
    zorvexa::stopExecutors(kExecutorStopBound);
    zorvexa::releaseAllHeldInput();
    zorvexa::setDesktopLostHandler({});
    g_shell.store(nullptr);
    zorvexa::timing::disable();
    return code;
}
