// vintrel: shows the first webcam's own settings (brightness, exposure, ...) in a dialog.
// Takes no arguments. Exit code 0, or 1 when the webcam is there but cannot be used.
//
// ZORVEXA_VIDEO_DIR names a folder to look for video<N> device nodes in instead of /dev,
// so tests can run the program against a known (empty or broken) set of devices.
#include "webcamtool/core/WebcamSettings.h"
#include "webcamtool/ui/QtSettingsUi.h"
#include "webcamtool/v4l2/V4l2Device.h"

#include <QApplication>

#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The tool is started from the main program or a desktop launcher and never reads the
// terminal it may have inherited: standard input is replaced by /dev/null and the process
// leaves the terminal's session, so the terminal's signals and hang-up do not reach it.
void detachFromTerminalInput() {
    const int null = open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (null >= 0) {
        dup2(null, STDIN_FILENO);
        if (null != STDIN_FILENO)
            close(null);
    }
    setsid(); // fails harmlessly when already a process group leader
}

} // namespace

int main(int, char** argv) {
    detachFromTerminalInput();
    // Arguments are ignored, Qt's own options included.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgv);
    QApplication::setApplicationName(QStringLiteral("vintrel"));

    const char* folder = std::getenv("ZORVEXA_VIDEO_DIR");
    zorvexa::V4l2DeviceSystem system(folder != nullptr && *folder != '\0' ? folder : "/dev");
    zorvexa::QtSettingsUi ui(app);
    return zorvexa::showWebcamSettings(system, ui);
}
