// Owns the video source and drives every frame through the motion pipeline: extraction,
// interpretation, stroke counting, gesture dispatch, drawing and display. Live capture
// runs on a thread of its own; file playback and stepping use the same per-frame step.
// Only one frame loop may drive the pipeline at a time.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include <opencv2/core.hpp>
#include <opencv2/videoio.hpp>

#include "main/control/CControlEvents.h"
#include "main/motion/CameraReader.h"
#include "main/motion/CaptionStamps.h"
#include "main/motion/FrameSource.h"
#include "main/motion/MotionExtractor.h"
#include "main/motion/MotionInterpreter.h"
#include "main/motion/OpenCvEmbeddedWindow.h"
#include "main/motion/StrokeCounter.h"
#include "main/motion/StrokeRecognizer.h"
#include "main/motion/robust/RobustRecognizer.h"

namespace zorvexa {

struct AppState;
class Desktop;

// What the shell lends the pipeline. Every member may be left empty (headless use).
struct PipelineServices {
    std::shared_ptr<Desktop> desktop; // required for dispatch
    PaneHost* panes = nullptr;        // on-screen panes; null: images are dropped
    ControlSettings control;          // where config.xml and program files are
    // Sets the status bar's text; may be called from the frame-loop thread.
    std::function<void(const std::string&)> setStatusText;
    // Tells the user that config.xml could not be used (file, line and column); called on
    // the thread that loaded it.
    std::function<void(const std::string&)> reportConfigError;
    // The indicator window update, called once per live or played frame with the frame
    // loop's own copy of the picture (live: before any drawing), which it may draw into,
    // and the interpreter's latest decision.
    std::function<void(cv::Mat& frame, int direction)> updateIndicator;
    // Where the camera frames come from: empty for camera 0, otherwise a device index or
    // a video file (normally from ZORVEXA_CAMERA).
    std::string cameraSource;
    // The camera the live loop opens; empty: FrameSource's (tests give a fake one).
    std::function<std::unique_ptr<Camera>()> makeCamera;
    // The camera stopped delivering during a live run, which has ended (`capturing` is
    // cleared); the text is for the user. Called on the frame-loop thread.
    std::function<void(const std::string&)> cameraLost;
    // A fault on the frame-loop thread (an exception from a frame's processing), told once
    // per run; the loop carries on. Called on the frame-loop thread.
    std::function<void(const std::string&)> reportError;
};

class MotionPipeline {
  public:
    MotionPipeline(AppState& state, PipelineServices services);
    ~MotionPipeline();
    MotionPipeline(const MotionPipeline&) = delete;
    MotionPipeline& operator=(const MotionPipeline&) = delete;

    // The "video", "transparent" and "demo_video" panes, then the first configuration.
    void createWindows();

    // Runs the live loop until `capturing` is cleared or the camera stops delivering
    // (see PipelineServices::cameraLost); false when the camera does not open. Runs on the
    // capture thread.
    bool runLiveCapture();

    // One step on a 160 x 120 frame; `display` is the image to draw on and show (null:
    // the processing frame itself).
    void processFrame(const cv::Mat& processing, AppState& state, int timestamp, cv::Mat* display);
    void countStroke(int direction, int timestamp);
    void dispatchGesture(int direction);
    // Loads config.xml into a new configuration object and makes it current.
    void reloadConfiguration();
    // The gesture arrow, red when the current mode binds an action to the direction.
    void drawGestureArrow(cv::Mat& image, int direction);

    // Plays a video file through the whole pipeline on the calling thread until it ends
    // or `playingBack` is cleared; an empty path plays the state's videoPath.
    void playFile(const std::string& path = {});
    // Processes and shows one frame of the file at videoPath.
    void showFrameAt(int index);
    // Plays a guide clip with its caption (up to three lines) in the guide pane at about
    // ten frames a second; true when it played to its end, false when it was stopped.
    bool playGuideVideo(const std::string& path, const std::string& caption);

    // Mouse mode: the pointer step of one frame, and the pointer jump to the centre of
    // the target rectangle.
    void mouseModeStep(int direction, cv::Mat& image);
    void movePointer(const cv::Rect& target);

    // The configuration in use (replaced whole by a reload; callers keep the copy they got
    // for the length of a call).
    std::shared_ptr<CControlEvents> controlEvents() const;

    MotionInterpreter& interpreter() { return *interpreter_; }
    // The recognizer the state's robustRecognition switch selects; a switch takes effect
    // at the next frame, which the newly chosen recognizer starts afresh.
    StrokeRecognizer& recognizer();
    // The latest decision of the recognizer in use (for the indicator).
    MotionDir latestDirection() const;
    MotionExtractor& extractor() { return *extractor_; }
    OpenCvEmbeddedWindow* videoWindow() const { return videoWindow_.get(); }
    OpenCvEmbeddedWindow* indicatorWindow() const { return indicatorWindow_.get(); }
    OpenCvEmbeddedWindow* guideWindow() const { return guideWindow_.get(); }
    int arrowCountdown() const { return arrowCountdown_; }
    int arrowDirection() const { return arrowDirection_; }
    cv::Rect pointerRect() const { return pointerRect_; }
    int pointerCooldown() const { return pointerCooldown_; }

  private:
    void setControlEvents(std::shared_ptr<CControlEvents> events);
    void setStatus(const std::string& text);
    void openRecorder(double cameraFps);
    void reportCameraLost(const std::string& why);
    void reportError(const std::string& text);
    // Live capture, playback and a jump while stepping start with empty histories.
    void startCleanRun();
    // Called before anything is drawn onto `image`: while a live frame is drawn on, its
    // first drawing keeps the picture as it was in undrawn_ (for the indicator).
    void beforeDrawing(const cv::Mat& image);

    FrameSource capture_;
    AppState* state_;
    PipelineServices services_;
    std::shared_ptr<CControlEvents> controlEvents_; // accessed with std::atomic_load/store
    std::shared_ptr<MotionInterpreter> interpreter_;
    std::shared_ptr<MotionExtractor> extractor_;
    ClassicRecognizer classic_{*extractor_, *interpreter_};
    robust::RobustRecognizer robust_;
    bool robustInUse_ = false;
    std::shared_ptr<OpenCvEmbeddedWindow> videoWindow_;
    std::shared_ptr<OpenCvEmbeddedWindow> indicatorWindow_;
    std::shared_ptr<OpenCvEmbeddedWindow> guideWindow_;
    int arrowCountdown_ = 0;
    int arrowDirection_ = 0;
    cv::Rect pointerRect_{0, 0, 160, 120};
    int pointerCooldown_ = 0;
    cv::VideoWriter recorder_;
    bool recorderFailed_ = false; // this live run could not open a recorder
    bool extractErrorLogged_ = false;
    int lastSteppedIndex_ = -2; // the frame showFrameAt showed last; -2: none
    // The live frame before its drawings, copied only once something is drawn on it (null
    // outside the live loop's drawing); undrawnKept_ says whether it was this frame.
    cv::Mat* undrawn_ = nullptr;
    bool undrawnKept_ = false;
    CaptionStamps startCaptions_{30}; // the live loop's start captions, which stay 4000 frames
};

} // namespace zorvexa
