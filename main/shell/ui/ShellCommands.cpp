// The commands of the main window, the capture thread's body and the guide videos.
#include <QDir>
#include <QFileDialog>

#include "main/motion/MotionPipeline.h"
#include "main/shell/AppState.h"
#include "main/shell/app/CommandIds.h"
#include "main/shell/app/ToolbarTips.h"
#include "main/shell/ui/PaneWidget.h"
#include "main/shell/ui/ShellController.h"
#include "platform/Desktop.h"

namespace zorvexa {

namespace {

// Longest path the playback file name may have (the rest of the program keeps it in a
// buffer of that many characters, the terminator included).
constexpr size_t kMaxVideoPath = 511;

// A command that reads a button's state turns its switch on unless the button reports
// exactly "enabled" (a pressed button, or no button at all, turns it on).
bool onUnlessPlainEnabled(int buttonState) {
    return buttonState != button_state::kEnabled;
}

} // namespace

void ShellController::runCommand(int commandId) {
    using namespace command;
    switch (commandId) {
    case kAbout:
        window_.showAboutBox();
        break;
    case kExit:
        window_.close();
        break;
    case kGrab:
    case kGrabButton:
        toggleCapture();
        break;
    case kProcess:
    case kLogAnalysis:
        window_.setChecked(commandId, !window_.isChecked(commandId));
        break;
    case kMirrorImage:
        toggleFlag(state_.mirrorImage, commandId);
        break;
    case kRobustRecognition:
        toggleFlag(state_.robustRecognition, commandId);
        break;
    case kLoadRawVideoFile:
        chooseVideoFile();
        break;
    case kViewSessionsLog:
        openProgramFile(sessionsLogViewPath(paths_), false);
        break;
    case kEditGestureConfiguration:
        openProgramFile(options_.configPath, true);
        break;
    case kConfigureWebcam:
    case kWebcamSettingsButton:
        openProgramFile(paths_.moduleDir + "/vintrel", true);
        break;
    case kAutoShowOverlay:
        toggleFlag(state_.autoDisplayTransparentIndicator, commandId);
        break;
    case kShowCalorieCounter:
        toggleFlag(state_.showCalorieCounter, commandId);
        break;
    case kUseBeginnerSettings:
    case kBeginnerModeButton:
        toggleBeginnerMode();
        break;
    case kMouseMode:
        toggleFlag(state_.mouseMode, commandId);
        break;
    case kReloadConfig:
        state_.reloadConfigRequested = true;
        break;
    case kTrack:
        state_.tracking = onUnlessPlainEnabled(window_.buttonState(kTrack));
        break;
    case kGoToBeginning:
        stepTo(0);
        break;
    case kStepBackward:
        stepTo(state_.frameCounter.load() - 1);
        break;
    case kPlayBack:
        if (state_.playingBack)
            state_.playingBack = false; // the playback ends after its current frame
        else
            startPlayback();
        break;
    case kStepForward:
        stepTo(state_.frameCounter.load() + 1);
        break;
    case kRecord:
        state_.recording = onUnlessPlainEnabled(window_.buttonState(kRecord));
        break;
    default:
        break;
    }
}

void ShellController::toggleFlag(std::atomic<bool>& flag, int commandId) {
    flag = !flag.load();
    window_.setChecked(commandId, flag.load());
}

// --- capture ---------------------------------------------------------------------------

void ShellController::startCapture() {
    // Set here already, so that turning capture off right after turning it on stops the
    // run that is about to begin.
    state_.capturing = true;
    window_.dismissNotice(QStringLiteral("camera"));
    frameLoop_.start(guarded(kFrameLoopWorker, [this] { runCapture(); }));
}

void ShellController::runCapture() {
    if (!pipeline_->runLiveCapture())
        showWebcamMissing();
}

void ShellController::showWebcamMissing() {
    QMetaObject::invokeMethod(
        this,
        [this] {
            window_.setChecked(command::kGrab, false);
            window_.setButtonPressed(command::kGrabButton, false);
        },
        Qt::QueuedConnection);
    state_.capturing = false;
    state_.tracking = false;
    state_.playingBack = true;
    pipeline_->playFile(demoVideos_ + "/webcam_not_connected.avi");
    state_.tracking = true;
}

void ShellController::toggleCapture() {
    using namespace command;
    const bool grab = !window_.isChecked(kGrab);
    window_.setChecked(kGrab, grab);
    QAction* grabItem = window_.menuAction(kGrab);
    if (grabItem)
        grabItem->setEnabled(false);
    window_.setButtonEnabled(kGrabButton, false);
    auto switched = [this, grabItem] {
        if (grabItem)
            grabItem->setEnabled(true);
        window_.setButtonEnabled(kGrabButton, true);
    };
    if (!state_.capturing) {
        window_.setButtonPressed(kGrabButton, true);
        // Whatever still runs on the frame loop (the "no webcam" clip, a playback) is
        // asked to end first; waiting for it to play out would freeze the switch.
        frameLoop_.stopThen([this] { state_.playingBack = false; },
                            [this, switched] {
                                startCapture();
                                switched();
                            });
    } else {
        window_.setButtonPressed(kGrabButton, false);
        frameLoop_.stopThen([this] { stopFrameLoop(); }, switched);
    }
}

bool ShellController::refuseWhileFrameLoopRuns(const char* what) {
    if (!frameLoop_.busy())
        return false;
    setStatusText(std::string("turn the webcam off (Video > Grab) before ") + what);
    shellLog(std::string("refused while another frame loop runs: ") + what);
    return true;
}

void ShellController::startPlayback() {
    if (refuseWhileFrameLoopRuns("playing back a recording"))
        return;
    state_.playingBack = true;
    commandPlayback_ = true;
    frameLoop_.start(guarded(kFrameLoopWorker, [this] {
        pipeline_->playFile();
        commandPlayback_ = false;
    }));
}

void ShellController::stepTo(int index) {
    if (refuseWhileFrameLoopRuns("stepping through a recording"))
        return;
    state_.frameCounter = index;
    frameLoop_.start(guarded(kFrameLoopWorker, [this, index] { pipeline_->showFrameAt(index); }));
}

void ShellController::chooseVideoFile() {
    auto* dialog =
        new QFileDialog(&window_, QString(), QDir::currentPath() + QStringLiteral("/recordings"),
                        QStringLiteral("Raw Video Files (*.avi);;All (*)"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::ExistingFile);
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString& file) {
        const std::string path = file.toStdString();
        if (path.size() > kMaxVideoPath) {
            window_.showFileNotFound(file); // cannot be kept: say which file it was
            return;
        }
        if (refuseWhileFrameLoopRuns("choosing another recording"))
            return;
        state_.videoPath = path;
    });
    dialog->open();
}

void ShellController::openProgramFile(const std::string& path, bool warnWhenMissing) {
    const OpenResult result = desktop_ ? desktop_->openFile(path) : OpenResult::Failed;
    if (warnWhenMissing && result == OpenResult::FileNotFound)
        window_.showFileNotFound(QString::fromStdString(path));
}

// --- beginner mode and guide videos ------------------------------------------------------

void ShellController::toggleBeginnerMode() {
    const bool beginner = !state_.useBeginnerSettings.load();
    state_.useBeginnerSettings = beginner;
    window_.setChecked(command::kUseBeginnerSettings, beginner);
    pipeline_->reloadConfiguration();
    window_.setButtonPressed(command::kBeginnerModeButton, beginner);
    restartGuide([] { return 0; });
}

void ShellController::startGuide(int start) {
    guideThread_.start(guarded(kGuideWorker, [this, start] {
        runGuideSequence(guide_, start, state_.useBeginnerSettings.load(),
                         [this](int, const GuideEntry& entry) { return playGuideEntry(entry); });
    }));
}

void ShellController::restartGuide(std::function<int()> startRow) {
    if (closing_)
        return;
    guideThread_.stopThen([this] { stopGuide(); },
                          [this, startRow = std::move(startRow)] {
                              if (!closing_)
                                  startGuide(startRow());
                          });
}

bool ShellController::playGuideEntry(const GuideEntry& entry) {
    return pipeline_->playGuideVideo(demoVideos_ + "/" + entry.file, entry.caption);
}

void ShellController::onGuideMouse(int event, int, int) {
    if (event == PaneWidget::kLeftButtonDown) {
        restartGuide([this] {
            const int start = guideStartAfterLeftClick(guide_.guideIndex.load(),
                                                       static_cast<int>(guide_.guideList.size()));
            guide_.guideIndex = start;
            return start;
        });
    } else if (event == PaneWidget::kRightButtonDown) {
        restartGuide([this] { return guideStartAfterRightClick(guide_.guideIndex.load()); });
    }
}

} // namespace zorvexa
