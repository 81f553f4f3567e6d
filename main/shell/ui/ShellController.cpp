#include "main/shell/ui/ShellController.h"

#include <QMessageBox>

#include <cstdlib>
#include <fstream>

#include <QAction>
#include <QApplication>
#include <QMetaObject>
#include <QStatusBar>

#include "main/control/ExecutorThreads.h"
#include "main/motion/MotionPipeline.h"
#include "main/shell/AppState.h"
#include "main/shell/Calories.h"
#include "main/shell/DesktopNotice.h"
#include "main/shell/Options.h"
#include "main/shell/app/CommandIds.h"
#include "main/shell/app/WorkerGuard.h"
#include "platform/Desktop.h"
#include "platform/DesktopChoice.h"

namespace zorvexa {

ShellController::ShellController(AppState& state, AppPaths paths, std::shared_ptr<Desktop> desktop,
                                 ShellOptions options)
    : state_(state), paths_(std::move(paths)), desktop_(std::move(desktop)),
      options_(std::move(options)), frameLoop_([this](int delayMs, std::function<void()> fn) {
          postToUi(delayMs, std::move(fn));
      }),
      guideThread_(
          [this](int delayMs, std::function<void()> fn) { postToUi(delayMs, std::move(fn)); }) {
    demoVideos_ = findDataFile(paths_, kDemoVideosFolderName);
}

ShellController::~ShellController() {
    setExecutorErrorHandler({});
    // The threads have been joined by shutDown(); the pipeline's panes go before the
    // windows that hold them.
    pipeline_.reset();
}

void ShellController::postToUi(int delayMs, std::function<void()> fn) {
    if (delayMs <= 0)
        QMetaObject::invokeMethod(this, std::move(fn), Qt::QueuedConnection);
    else
        QTimer::singleShot(delayMs, this, std::move(fn)); // window thread only
}

void ShellController::startUp() {
    using namespace command;
    state_.mainWindow = static_cast<WindowHandle>(&window_);
    window_.onCommand = [this](int id) { runCommand(id); };
    window_.onClose = [this] { onClose(); };
    window_.onActivationChange = [this] {
        mainWindowActive_ = window_.isActiveWindow();
        indicator_.hide();
    };

    loadOptions(state_, paths_, [this](int id, bool checked) { window_.setChecked(id, checked); });
    window_.setupToolbar();
    state_.statusBar = static_cast<WindowHandle>(window_.statusBar());

    window_.show();
    showDesktopNotice();
    connect(&statusTimer_, &QTimer::timeout, this,
            [this] { setStatusText(updateStatusLine(state_, previousFrameCounter_)); });
    statusTimer_.start(1000);

    state_.indicatorWindow = static_cast<WindowHandle>(&indicator_);
    indicator_.hide();
    window_.setFocus();

    for (int id : kRemovedAtStartup)
        window_.removeMenuItem(id);

    // ZORVEXA_QT_PANES=1 keeps Qt's own painting of the panes (to compare, or where
    // drawing into the panes' windows misbehaves).
    panes_.paintDirectlyWhereAble(!std::getenv("ZORVEXA_QT_PANES"));
    panes_.registerHost(state_.mainWindow.load(), window_.clientArea());
    panes_.registerHost(state_.indicatorWindow.load(), &indicator_);
    PipelineServices services;
    services.desktop = desktop_;
    services.panes = &panes_;
    services.control.configPath = options_.configPath;
    services.control.programDirectory = paths_.moduleDir;
    services.setStatusText = [this](const std::string& text) { setStatusText(text); };
    services.reportConfigError = [this](const std::string& text) { reportConfigError(text); };
    services.updateIndicator = [this](cv::Mat& frame, int direction) {
        updateIndicator(frame, direction);
    };
    services.cameraSource = options_.cameraSource;
    services.cameraLost = [this](const std::string& text) { onCameraLost(text); };
    services.reportError = [this](const std::string& text) {
        showNoticeLater("frame-loop", "Zorvexa could not process a camera picture and skipped "
                                      "it: " +
                                          text);
    };
    pipeline_ = std::make_unique<MotionPipeline>(state_, std::move(services));
    // An action that fails on its own thread is told once in the window, as frame-loop
    // faults are.
    setExecutorErrorHandler([this](const std::string& text) {
        showNoticeLater("executor", "An action could not be carried out: " + text);
    });

    IndicatorHooks hooks;
    hooks.foregroundHideOverlay = [this]() -> std::optional<std::string> {
        auto events = pipeline_->controlEvents();
        const AppEntry* entry = events ? events->selectApplication("") : nullptr;
        if (!entry)
            return std::nullopt;
        return entry->hideOverlayWindow;
    };
    hooks.hasAction = [this](int direction) {
        auto events = pipeline_->controlEvents();
        return events && events->hasAction(direction);
    };
    hooks.setWindowVisible = [this](bool visible) { setIndicatorVisible(visible); };
    hooks.callerSeesMainWindowActive = [this] {
        return commandPlayback_.load() && mainWindowActive_.load();
    };
    hooks.showFrame = [this](const cv::Mat& image) {
        if (OpenCvEmbeddedWindow* pane = pipeline_->indicatorWindow())
            pane->show(image);
    };
    indicatorUpdater_ = std::make_unique<IndicatorUpdater>(state_, std::move(hooks));
    pipeline_->createWindows();
    watchConfiguration();

    window_.activateWindow();
    window_.setChecked(kGrab, true);
    window_.setButtonPressed(kGrabButton, true);
    startCapture();
    startGuide(0);
    window_.setButtonPressed(kBeginnerModeButton, state_.useBeginnerSettings.load());
    panes_.setMouseHandler("demo_video",
                           [this](int event, int x, int y) { onGuideMouse(event, x, y); });
}

// File > Edit Gesture Configuration names the file in use, and an edit of that file is
// picked up as the reload command would.
void ShellController::watchConfiguration() {
    if (QAction* edit = window_.menuAction(command::kEditGestureConfiguration))
        edit->setStatusTip(QString::fromStdString("Opens " + options_.configPath));
    configWatcher_ = std::make_unique<ConfigFileWatcher>(options_.configPath, [this] {
        shellLog("the gesture configuration changed, reloading " + options_.configPath);
        state_.reloadConfigRequested = true;
    });
}

void ShellController::shutDown() {
    statusTimer_.stop();
    saveSession();
    frameLoop_.joinAtExit([this] { stopFrameLoop(); });
    guideThread_.joinAtExit([this] { stopGuide(); });
}

void ShellController::saveSession() {
    std::lock_guard<std::mutex> lock(sessionSaveMutex_);
    if (sessionSaved_)
        return;
    sessionSaved_ = true;
    saveOptions(state_, paths_);
    appendSessionLog(state_, paths_);
}

void ShellController::stopFrameLoop() {
    state_.capturing = false;
    state_.playingBack = false;
}

void ShellController::stopGuide() {
    guide_.guideStopRequested = true;
    state_.guidePlaying = false;
}

void ShellController::onClose() {
    closing_ = true;
    stopFrameLoop();
    stopGuide();
    frameLoop_.cancelPending();
    guideThread_.cancelPending();
    statusTimer_.stop();
    indicator_.close();
    QCoreApplication::quit();
}

void ShellController::setStatusText(const std::string& text) {
    QMetaObject::invokeMethod(
        this,
        [this, text] {
            window_.setStatusText(QString::fromStdString(text));
            if (!options_.statusFile.empty()) {
                std::ofstream out(options_.statusFile, std::ios::trunc);
                out << text << '\n';
            }
        },
        Qt::QueuedConnection);
}

void ShellController::showDesktopNotice() {
    const DesktopChoice choice = lastDesktopChoice();
    const std::string text = desktopNoticeText(desktopKindName(choice.kind), choice.notes);
    if (text.empty() || desktopNoticeDismissed(text, paths_))
        return;
    window_.showNotice(QStringLiteral("desktop"), QString::fromStdString(text),
                       [this, text] { dismissDesktopNotice(text, paths_); });
}

void ShellController::reportConfigError(const std::string& text) {
    QMetaObject::invokeMethod(
        this,
        [this, text] {
            if (closing_)
                return;
            // Not modal: strokes and the window keep working while the file is fixed.
            auto* box = new QMessageBox(
                QMessageBox::Warning, "Zorvexa",
                QString::fromStdString(text + "\n\nStrokes do nothing until config.xml is "
                                              "fixed and reloaded."),
                QMessageBox::Ok, &window_);
            box->setAttribute(Qt::WA_DeleteOnClose);
            box->setModal(false);
            box->show();
        },
        Qt::QueuedConnection);
}

void ShellController::showNoticeLater(const std::string& id, const std::string& text) {
    QMetaObject::invokeMethod(
        this,
        [this, id, text] {
            if (!closing_)
                window_.showNotice(QString::fromStdString(id), QString::fromStdString(text));
        },
        Qt::QueuedConnection);
}

void ShellController::onCameraLost(const std::string& text) {
    // The live run has ended; Grab shows capture off until the user turns it on again.
    QMetaObject::invokeMethod(
        this,
        [this, text] {
            if (closing_)
                return;
            window_.setChecked(command::kGrab, false);
            window_.setButtonPressed(command::kGrabButton, false);
            window_.showNotice(QStringLiteral("camera"), QString::fromStdString(text));
        },
        Qt::QueuedConnection);
}

std::function<void()> ShellController::guarded(const char* worker, std::function<void()> job) {
    return [this, worker, job = std::move(job)] {
        const bool frameLoop = std::string(worker) == kFrameLoopWorker;
        if (runGuarded(worker, job, [this, frameLoop](const std::string& text) {
                showNoticeLater(frameLoop ? "frame-loop" : "guide",
                                frameLoop ? text + ". Turn the webcam on again with Video > Grab."
                                          : text + ".");
            }))
            return;
        if (!frameLoop)
            return;
        // Whatever ran on the frame loop has ended: capture shows off.
        stopFrameLoop();
        commandPlayback_ = false;
        QMetaObject::invokeMethod(
            this,
            [this] {
                window_.setChecked(command::kGrab, false);
                window_.setButtonPressed(command::kGrabButton, false);
            },
            Qt::QueuedConnection);
    };
}

void ShellController::updateIndicator(cv::Mat& frame, int direction) {
    if (indicatorUpdater_)
        indicatorUpdater_->update(frame, direction);
}

void ShellController::setIndicatorVisible(bool visible) {
    // Asked on every frame while a stroke shows; the window thread is woken only for a change.
    if (visible == indicator_.shownAsLastKnown())
        return;
    QMetaObject::invokeMethod(
        this,
        [this, visible] {
            if (closing_)
                return;
            if (visible && indicator_.isHidden())
                indicator_.show(); // shown without activation: the focus stays put
            else if (!visible && !indicator_.isHidden())
                indicator_.hide();
        },
        Qt::QueuedConnection);
}

} // namespace zorvexa
