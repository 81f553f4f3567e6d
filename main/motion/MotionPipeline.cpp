#include "main/motion/MotionPipeline.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <thread>
#include <vector>

#include <opencv2/imgproc.hpp>

#include "common/StageTiming.h"
#include "main/motion/Annotation.h"
#include "main/motion/CameraReader.h"
#include "main/motion/CaptionBand.h"
#include "main/motion/FrameAnalysis.h"
#include "main/motion/FrameScaling.h"
#include "main/motion/MotionDir.h"
#include "main/motion/PaintedRuns.h"
#include "main/shell/AppState.h"
#include "platform/DebugSink.h"
#include "platform/Desktop.h"

namespace zorvexa {

namespace {

constexpr int kDisplayWidth = 320;
constexpr int kDisplayHeight = 240;
constexpr int kCaptionFrames = 4000;
constexpr int kPointerCooldown = 60;
constexpr size_t kGuideFramesDecodedAhead = 8; // 1.4 MB of 240 x 240 frames
// A camera is given up on after this many failed reads in a row, or a read that has not
// returned after a second; an open may take longer.
constexpr int kFailedReadsInARow = 5;
constexpr std::chrono::milliseconds kCameraReadLimit{1000};
constexpr std::chrono::milliseconds kCameraOpenLimit{8000};

void waitMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// The first three lines of a caption text; missing lines are empty.
std::vector<std::string> captionLines(const std::string& text) {
    std::vector<std::string> lines(3);
    size_t start = 0;
    for (size_t k = 0; k < 3 && start <= text.size(); ++k) {
        const size_t end = text.find('\n', start);
        lines[k] = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return lines;
}

} // namespace

MotionPipeline::MotionPipeline(AppState& state, PipelineServices services)
    : state_(&state), services_(std::move(services)),
      interpreter_(std::make_shared<MotionInterpreter>(state.frameWidth, &state)),
      extractor_(std::make_shared<MotionExtractor>()) {}

MotionPipeline::~MotionPipeline() {
    videoWindow_.reset();
    indicatorWindow_.reset();
    guideWindow_.reset();
    setControlEvents(nullptr);
    recorder_.release();
    capture_.release();
}

void MotionPipeline::createWindows() {
    videoWindow_ = std::make_shared<OpenCvEmbeddedWindow>("video", state_->mainWindow.load(), 0, 60,
                                                          320, 240, true, services_.panes);
    indicatorWindow_ = std::make_shared<OpenCvEmbeddedWindow>(
        "transparent", state_->indicatorWindow.load(), 0, 0, 320, 240, true, services_.panes);
    guideWindow_ = std::make_shared<OpenCvEmbeddedWindow>(
        "demo_video", state_->mainWindow.load(), 321, 60, 240, 240, false, services_.panes);
    auto events = std::make_shared<CControlEvents>(*state_, services_.desktop, services_.control);
    if (!events->loadError().empty()) {
        setStatus(events->loadError());
        if (services_.reportConfigError)
            services_.reportConfigError(events->loadError());
    } else if (!events->keyWarnings().empty()) {
        setStatus(events->keyWarnings().front());
    }
    setControlEvents(std::move(events));
}

std::shared_ptr<CControlEvents> MotionPipeline::controlEvents() const {
    return std::atomic_load(&controlEvents_);
}

void MotionPipeline::setControlEvents(std::shared_ptr<CControlEvents> events) {
    std::atomic_store(&controlEvents_, std::move(events));
}

void MotionPipeline::setStatus(const std::string& text) {
    if (services_.setStatusText)
        services_.setStatusText(text);
}

void MotionPipeline::reloadConfiguration() {
    auto events = std::make_shared<CControlEvents>(*state_, services_.desktop, services_.control);
    // Chosen before the object is shared: a reload on the window thread must not touch an
    // object the frame loop may already be using.
    events->selectApplication("");
    setControlEvents(events);
    // A file that could not be read is worth more than the usual confirmation.
    setStatus(!events->loadError().empty()     ? events->loadError()
              : !events->keyWarnings().empty() ? events->keyWarnings().front()
                                               : "config.xml reloaded");
    if (!events->loadError().empty() && services_.reportConfigError)
        services_.reportConfigError(events->loadError());
}

void MotionPipeline::openRecorder(double cameraFps) {
    const int fps = cameraFps >= 1 ? static_cast<int>(cameraFps) : 30;
    const cv::Size size(state_->frameWidth, state_->frameHeight);
    // The classic four-character code first; where the system's encoder lacks it, a
    // lossless codec (playback then analyses exactly the frames the live run did), and
    // a common lossy one as the last resort.
    for (const char* fourcc : {"MSVC", "FFV1", "MJPG"}) {
        try {
            recorder_.open("recording.avi", cv::CAP_FFMPEG,
                           cv::VideoWriter::fourcc(fourcc[0], fourcc[1], fourcc[2], fourcc[3]), fps,
                           size, true);
        } catch (const cv::Exception&) {
            recorder_.release();
        }
        if (recorder_.isOpened())
            return;
    }
    recorderFailed_ = true;
    setStatus("cannot record: recording.avi could not be opened for writing");
}

bool MotionPipeline::runLiveCapture() {
    state_->capturing.store(true);
    const std::vector<std::string> captions = {"center yourself in view", "hands should not show",
                                               "while down in resting position"};
    startCleanRun();

    // Open and read run on the reader's thread; clearing `capturing` ends a wait at once.
    CameraReader camera(services_.makeCamera ? services_.makeCamera() : makeFrameSourceCamera(),
                        [this] { return !state_->capturing.load(); });
    double cameraFps = 0;
    bool isFile = false;
    const CameraReader::Result opened = camera.open(services_.cameraSource,
                                                    {{cv::CAP_PROP_FRAME_WIDTH, kDisplayWidth},
                                                     {cv::CAP_PROP_FRAME_HEIGHT, kDisplayHeight},
                                                     {cv::CAP_PROP_FPS, 30},
                                                     {cv::CAP_PROP_EXPOSURE, -5}},
                                                    cameraFps, isFile, kCameraOpenLimit);
    if (opened == CameraReader::Result::Stopped)
        return true; // turned off (or closing) while the camera was opening
    if (opened != CameraReader::Result::Done)
        return false;
    recorderFailed_ = false;

    int loopCounter = 0;
    int failedReads = 0;
    bool errorReported = false;
    cv::Mat raw, frame, processing, clean;
    while (state_->capturing.load()) {
        const auto readStart = std::chrono::steady_clock::now();
        const CameraReader::Result read = camera.read(raw, kCameraReadLimit);
        // A camera waits for its next picture; one that has a picture ready at once every
        // time would keep the loop spinning, so the loop then pauses after the frame.
        const bool answeredAtOnce =
            std::chrono::steady_clock::now() - readStart < std::chrono::milliseconds(1);
        if (read == CameraReader::Result::Stopped)
            break;
        // A camera that was unplugged fails every read at once, or never returns.
        failedReads = read == CameraReader::Result::Done ? 0 : failedReads + 1;
        if (read == CameraReader::Result::TimedOut || failedReads >= kFailedReadsInARow) {
            reportCameraLost(read == CameraReader::Result::TimedOut
                                 ? "no picture came for a second"
                                 : std::to_string(failedReads) + " reads in a row failed");
            break;
        }
        if (raw.empty()) {
            waitMs(1);
            continue;
        }
        try {
            // The video pane's and the indicator's pictures go to the display together.
            PaneBatch batch(services_.panes);
            if (state_->recording.load() && !recorder_.isOpened() && !recorderFailed_)
                openRecorder(cameraFps);
            ++loopCounter;
            const int frameNumber = state_->frameCounter.fetch_add(1) + 1;
            {
                timing::Scope timed(timing::Stage::MirrorScale);
                // Larger, smaller or grey frames are brought to the display size first, so
                // the processing copy is always 160 x 120. Both buffers are reused from
                // frame to frame.
                if (raw.cols != kDisplayWidth || raw.channels() != 3)
                    toDisplayFrame(raw, frame);
                else
                    frame = raw;
                if (state_->mirrorImage.load())
                    mirrorColumns(frame);
                resizeBilinear(frame, processing,
                               cv::Size(state_->frameWidth, state_->frameHeight));
                if (state_->recording.load() && recorder_.isOpened())
                    recorder_.write(processing);
            }
            // The indicator draws on the picture as it came; a frame that nothing is drawn
            // on (once the start captions are over, most frames) is handed to it as it is,
            // after the video pane has taken its copy.
            undrawn_ = services_.updateIndicator ? &clean : nullptr;
            undrawnKept_ = false;
            if (frameNumber < kCaptionFrames) {
                timing::Scope timed(timing::Stage::Draw);
                beforeDrawing(frame);
                startCaptions_.draw(captions, frameNumber, frame, true, 0.7);
            }
            processFrame(processing, *state_, loopCounter, &frame);
            undrawn_ = nullptr;
            if (services_.updateIndicator) {
                timing::Scope timed(timing::Stage::Indicator);
                services_.updateIndicator(undrawnKept_ ? clean : frame, latestDirection());
            }
            {
                timing::Scope timed(timing::Stage::PaneHandOver);
                batch.end();
            }
        } catch (const std::exception& e) {
            // One frame is lost; the loop carries on with the next.
            undrawn_ = nullptr; // `clean` is the loop's own: nothing outside it copies there
            if (!errorReported)
                reportError(std::string("a frame could not be processed: ") + e.what());
            errorReported = true;
        }
        timing::frameDone();
        if (answeredAtOnce)
            waitMs(1);
    }
    recorder_.release();
    return true;
}

void MotionPipeline::reportCameraLost(const std::string& why) {
    state_->capturing.store(false);
    debugOutput("camera lost: " + why + "\n");
    if (services_.cameraLost)
        services_.cameraLost("The webcam stopped sending pictures (" + why +
                             "), so capture was turned off. Check its cable, then turn it on "
                             "again with Video > Grab.");
}

void MotionPipeline::reportError(const std::string& text) {
    debugOutput("frame loop: " + text + "\n");
    if (services_.reportError)
        services_.reportError(text);
}

void MotionPipeline::startCleanRun() {
    // Timestamps start again from 1: motion history and samples of an earlier run would
    // otherwise decide the first frames of this one.
    classic_.reset();
    robust_.reset();
    lastSteppedIndex_ = -2;
}

void MotionPipeline::processFrame(const cv::Mat& processing, AppState& state, int timestamp,
                                  cv::Mat* display) {
    cv::Mat& image = display ? *display : const_cast<cv::Mat&>(processing);
    if (state.tracking.load()) {
        FrameAnalysis a;
        try {
            a = analyseFrame(recognizer(), processStrokeCounter(), state, processing, timestamp);
        } catch (const std::exception& e) {
            // OpenCV reports its faults as exceptions too: the frame is skipped, once said.
            if (!extractErrorLogged_)
                reportError(std::string("a frame was skipped: ") + e.what());
            extractErrorLogged_ = true;
        }
        if (a.analysed) {
            const int direction = a.direction;
            if (state.mouseMode.load()) {
                mouseModeStep(direction, image);
            } else {
                if (direction != 0) {
                    arrowCountdown_ = state.fps.load() * 15 / 30;
                    arrowDirection_ = direction;
                } else {
                    --arrowCountdown_;
                }
                if (arrowCountdown_ > 0) {
                    timing::Scope timed(timing::Stage::Draw);
                    drawGestureArrow(image, arrowDirection_);
                }
                if (direction == 0 || (direction >= 2 && direction <= 12)) {
                    timing::Scope timed(timing::Stage::Dispatch);
                    dispatchGesture(direction);
                }
            }
        }
    }
    if (videoWindow_) {
        timing::Scope timed(timing::Stage::PaneHandOver);
        videoWindow_->show(image);
    }
}

StrokeRecognizer& MotionPipeline::recognizer() {
    const bool robust = state_->robustRecognition.load();
    if (robust != robustInUse_) {
        robustInUse_ = robust;
        if (robust)
            robust_.reset();
        else
            classic_.reset();
    }
    return robust ? static_cast<StrokeRecognizer&>(robust_) : classic_;
}

MotionDir MotionPipeline::latestDirection() const {
    return robustInUse_ ? robust_.lastDirection() : interpreter_->lastDirection;
}

void MotionPipeline::countStroke(int direction, int timestamp) {
    processStrokeCounter().countStroke(*state_, direction, timestamp);
}

void MotionPipeline::dispatchGesture(int direction) {
    if (state_->reloadConfigRequested.load()) {
        reloadConfiguration();
        state_->reloadConfigRequested.store(false);
        controlEvents()->selectApplication("");
    }
    if (auto events = controlEvents())
        events->dispatch(direction);
}

void MotionPipeline::beforeDrawing(const cv::Mat& image) {
    if (undrawn_ && !undrawnKept_) {
        image.copyTo(*undrawn_);
        undrawnKept_ = true;
    }
}

void MotionPipeline::drawGestureArrow(cv::Mat& image, int direction) {
    beforeDrawing(image);
    const auto events = controlEvents();
    zorvexa::drawGestureArrow(image, direction, events && events->hasAction(direction));
}

void MotionPipeline::mouseModeStep(int d, cv::Mat& image) {
    const cv::Scalar blue(255, 0, 0);
    beforeDrawing(image); // the pointer's rectangle is drawn on every frame
    // The dispatcher counts its pause down once per frame, as outside mouse mode; a frame
    // that steers nothing still passes it a "no gesture".
    bool dispatched = false;
    if (d == 0 || (d >= 2 && d <= 12)) {
        if (pointerCooldown_ != 0) {
            --pointerCooldown_;
        } else {
            cv::Rect& r = pointerRect_;
            const cv::Rect before = r;
            bool step = true;
            switch (d) {
            case kDirUp:
                if (r.height > 1)
                    r.height = r.height / 2;
                else if (r.y > 0)
                    --r.y;
                break;
            case kDirDown:
                if (r.height > 1) {
                    r.y += r.height / 2;
                    r.height = r.height / 2;
                } else if (r.y < 120) {
                    ++r.y;
                }
                break;
            case kDirDownRight:
                if (r.width > 1) {
                    r.x += r.width / 2;
                    r.width = r.width / 2;
                } else if (r.x < 160) {
                    ++r.x;
                }
                break;
            case kDirDownLeft:
                if (r.width > 1)
                    r.width = r.width / 2;
                else if (r.x > 1)
                    --r.x;
                break;
            case kDirToCenter:
                step = false;
                dispatched = true;
                dispatchGesture(kDirToCenter);
                r = cv::Rect(0, 0, 160, 120);
                pointerCooldown_ = kPointerCooldown;
                state_->mouseMode.store(false);
                break;
            default:
                step = false;
                break;
            }
            if (step) {
                if (r != before)
                    pointerCooldown_ = kPointerCooldown;
                dispatched = true;
                dispatchGesture(0);
                movePointer(r);
            }
        }
        cv::rectangle(image, pointerRect_, blue, 4, cv::LINE_8);
    }
    if (pointerCooldown_ != 0)
        --pointerCooldown_;
    cv::rectangle(image, pointerRect_, blue, 4, cv::LINE_8);
    if (!dispatched)
        dispatchGesture(0);
}

void MotionPipeline::movePointer(const cv::Rect& target) {
    const int px = target.x + target.width / 2;
    const int py = target.y + target.height / 2;
    const int dx = static_cast<int>(px / 160.0 * 65536);
    const int dy = static_cast<int>(py / 120.0 * 65536);
    if (services_.desktop)
        services_.desktop->moveMouseAbsolute(dx, dy);
}

void MotionPipeline::playFile(const std::string& path) {
    startCleanRun();
    FrameSource reader;
    reader.openFile(path.empty() ? state_->videoPath : path);
    const double fileFps = reader.isOpened() ? reader.get(cv::CAP_PROP_FPS) : 0;
    int n = reader.frameCount();
    // A rate below one frame a second would divide by zero: play such files at 30.
    const int rate = fileFps >= 1 ? static_cast<int>(fileFps) : 30;
    state_->frameCounter.store(0);
    cv::Mat frame, processing;
    while (n > 0 && state_->playingBack.load()) {
        const int frameNumber = state_->frameCounter.fetch_add(1) + 1;
        if (reader.read(frame)) {
            // The analysis takes 160 x 120 frames only; a file that is only shown (tracking
            // off, as for the webcam-missing clip) keeps its own size.
            cv::Mat* input = &frame;
            if (state_->tracking.load() && toProcessingFrame(frame, processing))
                input = &processing;
            processFrame(*input, *state_, frameNumber, nullptr);
            if (services_.updateIndicator)
                services_.updateIndicator(*input, latestDirection());
        }
        waitMs(1000 / rate);
        --n;
    }
    reader.release();
    state_->playingBack.store(false);
}

void MotionPipeline::showFrameAt(int index) {
    if (!capture_.isOpened())
        capture_.openFile(state_->videoPath);
    if (!capture_.isOpened())
        return;
    capture_.set(cv::CAP_PROP_POS_FRAMES, index);
    // Stepping on to the next frame continues the history; any other step starts afresh.
    if (index != lastSteppedIndex_ + 1)
        startCleanRun();
    lastSteppedIndex_ = index;
    cv::Mat frame, processing;
    if (capture_.read(frame)) {
        const bool analyse = state_->tracking.load() && toProcessingFrame(frame, processing);
        processFrame(analyse ? processing : frame, *state_, state_->frameCounter.load(), nullptr);
    }
    capture_.release();
}

bool MotionPipeline::playGuideVideo(const std::string& path, const std::string& caption) {
    state_->guidePlaying.store(true);
    FrameSource reader;
    if (reader.openFile(path))
        reader.set(cv::CAP_PROP_FPS, 10);
    const std::vector<std::string> lines = captionLines(caption);
    int n = reader.frameCount();
    int frameIndex = 0;
    // The clip is decoded a few frames at a time and shown a frame every 100 ms: decoded
    // back to back, while the decoder's code and tables are still in the caches, a frame
    // takes about a fifth less CPU time than one decoded after each pause.
    std::array<cv::Mat, kGuideFramesDecodedAhead> ahead;
    std::array<bool, kGuideFramesDecodedAhead> decoded{};
    size_t aheadCount = 0, aheadNext = 0;
    CaptionBand band; // the same box on every frame of the clip
    PaintedRuns border([](cv::Mat& image, const cv::Scalar& colour) {
        cv::rectangle(image, cv::Point(0, 0), cv::Point(238, 238), colour, 2, cv::LINE_8);
    });
    while (n > 0) {
        if (!state_->guidePlaying.load())
            break;
        ++frameIndex;
        timing::Scope timed(timing::Stage::GuideClip);
        if (aheadNext == aheadCount) {
            aheadCount = std::min(ahead.size(), static_cast<size_t>(n));
            for (size_t k = 0; k < aheadCount; ++k)
                decoded[k] = reader.read(ahead[k]);
            aheadNext = 0;
        }
        cv::Mat& frame = ahead[aheadNext];
        if (decoded[aheadNext++]) {
            if (!caption.empty())
                band.draw(lines, frameIndex, frame, false, 0.8);
            border.paint(frame, cv::Scalar(0, 0, 0));
            if (guideWindow_)
                guideWindow_->show(frame);
        }
        waitMs(100);
        --n;
    }
    reader.release();
    state_->guidePlaying.store(false);
    return n == 0;
}

} // namespace zorvexa
