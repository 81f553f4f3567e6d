// The main program's shell: builds the windows in start-up order, owns the motion
// pipeline and the two worker threads (frame loop, guide videos), carries out every
// command of the main window, feeds the indicator window and shuts down in order.
//
// Threads. The window thread runs every command; it never waits for a worker. A worker
// is stopped by clearing its run flag, and what follows (a new capture run, the next
// guide sequence) starts once the worker has reported its end (WorkerSlot). Workers
// reach widgets only through queued calls.
//
// One frame loop at a time: live capture, the "no webcam" clip, file playback and
// single-frame stepping all run on the frame-loop worker. Playback and stepping are
// refused (with a status message) while another frame loop runs; turning the webcam on
// ends a playback first.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include <QObject>
#include <QTimer>

#include "main/shell/AppPaths.h"
#include "main/shell/app/GuideList.h"
#include "main/shell/app/IndicatorUpdater.h"
#include "main/shell/app/WorkerSlot.h"
#include "main/shell/ui/ConfigFileWatcher.h"
#include "main/shell/ui/IndicatorWindow.h"
#include "main/shell/ui/MainWindow.h"
#include "main/shell/ui/QtPaneHost.h"

namespace zorvexa {

struct AppState;
class Desktop;
class MotionPipeline;

struct ShellOptions {
    std::string cameraSource; // ZORVEXA_CAMERA: device index or video file; "" camera 0
    std::string statusFile;   // ZORVEXA_TEST_STATUS_FILE: each status text is written here
    std::string configPath = "config.xml"; // the gesture configuration in use
};

class ShellController : public QObject {
  public:
    ShellController(AppState& state, AppPaths paths, std::shared_ptr<Desktop> desktop,
                    ShellOptions options);
    ~ShellController() override;

    // Builds the windows, reads the options, creates the pipeline and starts the capture
    // and guide threads.
    void startUp();
    // After the event loop has ended: saves the options, appends the session's log row,
    // then ends and joins the capture thread and the guide thread.
    void shutDown();
    // Saves the options and appends the session's log row, once per run whatever calls
    // it first (shutDown, or an exit path that cannot wait for it: the display lost).
    void saveSession();

    void runCommand(int commandId);

    MainWindow& mainWindow() { return window_; }
    IndicatorWindow& indicatorWindow() { return indicator_; }
    QtPaneHost& panes() { return panes_; }
    MotionPipeline* pipeline() { return pipeline_.get(); }
    // Sets the status bar's text; any thread.
    void setStatusText(const std::string& text);
    void reportConfigError(const std::string& text);

  private:
    // What this desktop cannot do, once, until the user dismisses it.
    void showDesktopNotice();
    // Capture.
    void startCapture();
    void runCapture();
    void showWebcamMissing();
    void toggleCapture();
    void startPlayback();
    void stepTo(int index);
    bool refuseWhileFrameLoopRuns(const char* what);

    // Guide videos.
    void startGuide(int start);
    void restartGuide(std::function<int()> startRow);
    bool playGuideEntry(const GuideEntry& entry);
    void onGuideMouse(int event, int x, int y);

    // Options and commands.
    void toggleBeginnerMode();
    void toggleFlag(std::atomic<bool>& flag, int commandId);
    void chooseVideoFile();
    void openProgramFile(const std::string& path, bool warnWhenMissing);
    void onClose();
    void watchConfiguration();
    void stopFrameLoop();
    void stopGuide();

    // Indicator.
    void updateIndicator(cv::Mat& frame, int direction);
    void setIndicatorVisible(bool visible);

    void postToUi(int delayMs, std::function<void()> fn);

    // Faults on the workers: a notice in the main window (any thread), and a job wrapper
    // that turns an exception escaping a worker into one notice.
    void showNoticeLater(const std::string& id, const std::string& text);
    void onCameraLost(const std::string& text);
    std::function<void()> guarded(const char* worker, std::function<void()> job);
    static constexpr const char* kFrameLoopWorker = "video processing";
    static constexpr const char* kGuideWorker = "guide video";

    AppState& state_;
    AppPaths paths_;
    std::shared_ptr<Desktop> desktop_;
    ShellOptions options_;
    std::string demoVideos_;

    MainWindow window_;
    IndicatorWindow indicator_;
    QtPaneHost panes_;
    QTimer statusTimer_;
    int previousFrameCounter_ = 0;

    std::unique_ptr<MotionPipeline> pipeline_;
    std::unique_ptr<IndicatorUpdater> indicatorUpdater_;
    std::unique_ptr<ConfigFileWatcher> configWatcher_;
    GuideState guide_;
    WorkerSlot frameLoop_;
    WorkerSlot guideThread_;
    std::atomic<bool> commandPlayback_{false};  // a playback started by its command runs
    std::atomic<bool> mainWindowActive_{false}; // written by the window thread
    bool closing_ = false;
    std::mutex sessionSaveMutex_; // a second caller waits until the first has saved
    bool sessionSaved_ = false;
};

} // namespace zorvexa
