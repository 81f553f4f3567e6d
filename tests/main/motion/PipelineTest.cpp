#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <thread>
#include <unistd.h>

#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include "main/motion/MotionPipeline.h"
#include "main/shell/AppState.h"
#include "platform/fake/FakeDesktop.h"

using namespace zorvexa;
namespace fs = std::filesystem;
using Kind = FakeDesktopCall::Kind;

namespace {

// Remembers what each pane was shown.
class RecordingPanes : public PaneHost {
  public:
    void createPane(const std::string& name, WindowHandle, int x, int y, int w, int h,
                    bool hidden) override {
        std::lock_guard<std::mutex> lock(mutex_);
        created_[name] = {x, y, w, h, hidden ? 1 : 0};
    }
    void showImage(const std::string& name, const cv::Mat& image) override {
        std::lock_guard<std::mutex> lock(mutex_);
        shown_[name].push_back(image.clone());
    }
    void destroyPane(const std::string& name) override {
        std::lock_guard<std::mutex> lock(mutex_);
        destroyed_.push_back(name);
    }
    std::vector<cv::Mat> shown(const std::string& name) {
        std::lock_guard<std::mutex> lock(mutex_);
        return shown_[name];
    }
    std::map<std::string, std::vector<int>> created_;
    std::vector<std::string> destroyed_;

  private:
    std::mutex mutex_;
    std::map<std::string, std::vector<cv::Mat>> shown_;
};

// A private working folder with a config.xml; the previous folder comes back at the end.
class WorkDir {
  public:
    explicit WorkDir(const std::string& config) {
        char pattern[] = "/tmp/zorvexa-pipeline-XXXXXX";
        dir_ = mkdtemp(pattern);
        old_ = fs::current_path();
        fs::current_path(dir_);
        std::ofstream("config.xml") << config;
    }
    ~WorkDir() {
        fs::current_path(old_);
        fs::remove_all(dir_);
    }
    std::string path(const std::string& name) const { return dir_ + "/" + name; }

  private:
    std::string dir_;
    fs::path old_;
};

const char* kConfig = R"(<config>
  <app windowClass="App"><mode desc="zero"/><mode desc="one">
    <event name="UP_MOTION" action="WM_KEYDOWN" key="VK_UP"/>
    <event name="TOCENTER_MOTION" action="WM_KEYDOWN" key="VK_RETURN"/>
  </mode></app></config>)";

std::string shippedConfig() {
    std::ifstream in(std::string(ZORVEXA_SOURCE_DIR) + "/data/config.xml");
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct Rig {
    WorkDir work;
    AppState state;
    RecordingPanes panes;
    std::shared_ptr<FakeDesktop> desktop = std::make_shared<FakeDesktop>();
    std::vector<std::string> statusTexts;
    std::unique_ptr<MotionPipeline> pipeline;

    explicit Rig(const std::string& config = kConfig) : work(config) {
        state.useBeginnerSettings = false;
        desktop->setForeground(1, "App");
        PipelineServices s;
        s.desktop = desktop;
        s.panes = &panes;
        s.control.configPath = "config.xml";
        s.control.sleep = [](std::chrono::milliseconds) {};
        s.setStatusText = [this](const std::string& t) { statusTexts.push_back(t); };
        pipeline = std::make_unique<MotionPipeline>(state, s);
        pipeline->createWindows();
    }
    // Primes the interpreter so that the next decision is `direction`.
    void primeDecision(int direction) {
        MotionSegment s;
        s.x = 30;
        s.width = 100;
        s.height = 60;
        s.angle = direction == kDirUp ? 270 : 90;
        for (int i = 0; i < 4; ++i)
            pipeline->interpreter().addSample({s}, 60, 0);
    }
    cv::Mat blank() const { return cv::Mat(120, 160, CV_8UC3, cv::Scalar(30, 30, 30)); }
    // One tracked frame with a display image.
    void frame(int ts, cv::Mat* display = nullptr) {
        state.frameCounter = ts;
        cv::Mat f = blank();
        pipeline->processFrame(f, state, ts, display);
    }
};

// Writes a small video of `frames` frames of the given size.
std::string writeVideo(const std::string& path, int frames, cv::Size size, double fps = 30) {
    cv::VideoWriter w(path, cv::CAP_FFMPEG, cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), fps, size,
                      true);
    for (int i = 0; i < frames; ++i) {
        cv::Mat f(size, CV_8UC3, cv::Scalar(20, 20, 20));
        cv::rectangle(f, cv::Rect((i * 7) % (size.width - 20), size.height / 3, 20, 20),
                      cv::Scalar(200, 200, 200), cv::FILLED);
        w.write(f);
    }
    return path;
}

// Holds a camera call until the test lets it go (as a driver that never returns would).
struct Gate {
    std::mutex mutex;
    std::condition_variable changed;
    bool open = false;
    bool reached = false;
    void pass() {
        std::unique_lock<std::mutex> lock(mutex);
        reached = true;
        changed.notify_all();
        changed.wait(lock, [&] { return open; });
    }
    void release() {
        std::lock_guard<std::mutex> lock(mutex);
        open = true;
        changed.notify_all();
    }
};

// A camera that delivers `frames` frames and then fails every read, or blocks in open or
// in the read after its frames.
class FakeCamera : public Camera {
  public:
    enum class Then { Fail, Block };
    FakeCamera(int frames, Then then, std::shared_ptr<Gate> gate, bool blockOpen = false)
        : frames_(frames), then_(then), gate_(std::move(gate)), blockOpen_(blockOpen) {}
    bool open(const std::string&) override {
        if (blockOpen_)
            gate_->pass();
        return true;
    }
    bool read(cv::Mat& frame) override {
        if (delivered_ < frames_) {
            ++delivered_;
            frame = cv::Mat(240, 320, CV_8UC3, cv::Scalar(40, 40, 40));
            return true;
        }
        if (then_ == Then::Block)
            gate_->pass();
        frame.release();
        return false;
    }
    bool isFile() const override { return false; }
    bool set(int, double) override { return true; }
    double get(int) const override { return 30; }

  private:
    int frames_;
    int delivered_ = 0;
    Then then_;
    std::shared_ptr<Gate> gate_;
    bool blockOpen_;
};

} // namespace

TEST(Pipeline, CreatesItsThreePanes) {
    Rig rig;
    EXPECT_EQ(rig.panes.created_["video"], (std::vector<int>{0, 60, 320, 240, 1}));
    EXPECT_EQ(rig.panes.created_["transparent"], (std::vector<int>{0, 0, 320, 240, 1}));
    EXPECT_EQ(rig.panes.created_["demo_video"], (std::vector<int>{321, 60, 240, 240, 0}));
    ASSERT_TRUE(rig.pipeline->controlEvents());
    EXPECT_TRUE(rig.pipeline->controlEvents()->loadError().empty());
    EXPECT_EQ(rig.pipeline->videoWindow()->pendingShow(), 1);
    rig.frame(1);
    EXPECT_EQ(rig.pipeline->videoWindow()->pendingShow(), 0);
    rig.pipeline.reset();
    EXPECT_EQ(rig.panes.destroyed_.size(), 3u);
}

TEST(Pipeline, TheRecognizerSwitchTakesEffectAtTheNextFrame) {
    Rig rig;
    rig.primeDecision(kDirUp);
    rig.state.robustRecognition = true;
    rig.frame(50);
    EXPECT_EQ(rig.state.strokeCount(kStrokeUp), 0) << "the classic history was not consulted";
    EXPECT_EQ(rig.pipeline->interpreter().history().size(), 4u) << "nor added to";
    // Back to the classic recognizer: it starts afresh, then decides as before.
    rig.state.robustRecognition = false;
    rig.frame(60);
    EXPECT_EQ(rig.pipeline->interpreter().history().size(), 1u);
    rig.primeDecision(kDirUp);
    rig.frame(100);
    EXPECT_EQ(rig.state.strokeCount(kStrokeUp), 1);
    EXPECT_EQ(rig.pipeline->latestDirection(), kDirUp);
}

TEST(Pipeline, TrackingOffOnlyShowsFrames) {
    Rig rig;
    rig.state.tracking = false;
    rig.state.debounceFrames = 5;
    rig.primeDecision(kDirUp);
    for (int ts = 1; ts <= 3; ++ts)
        rig.frame(ts);
    EXPECT_EQ(rig.panes.shown("video").size(), 3u);
    EXPECT_EQ(rig.pipeline->interpreter().history().size(), 4u) << "no sample added";
    EXPECT_EQ(rig.state.debounceFrames, 5) << "the dispatcher was not called";
    EXPECT_EQ(rig.state.strokeCount(kStrokeUp), 0);
}

TEST(Pipeline, EveryTrackedFrameIsDispatchedAndGesturesAreCounted) {
    Rig rig;
    rig.state.debounceFrames = 5;
    rig.frame(1); // arming frame: still interpreted and dispatched with 0
    rig.frame(2);
    EXPECT_EQ(rig.state.debounceFrames, 3);
    rig.state.debounceFrames = 0;
    rig.primeDecision(kDirUp);
    rig.frame(50);
    EXPECT_EQ(rig.state.strokeCount(kStrokeUp), 1);
    ASSERT_TRUE(rig.desktop->waitForCalls(1, std::chrono::seconds(5)));
    EXPECT_EQ(rig.desktop->callsOf(Kind::SendKeyRecords)[0].records[0].vk, 38);
}

TEST(Pipeline, ArrowStaysHalfASecond) {
    for (int fps : {30, 10}) {
        Rig rig;
        rig.state.fps = fps;
        rig.primeDecision(kDirUp);
        std::vector<int> countdown;
        int withArrow = 0;
        for (int ts = 1; ts <= 20; ++ts) {
            cv::Mat display(240, 320, CV_8UC3, cv::Scalar(0, 0, 0));
            rig.frame(ts, &display);
            // The arrow's circle is blue at its bottom, (160, 120 + 60).
            if (display.at<cv::Vec3b>(180, 160) == cv::Vec3b(255, 0, 0))
                ++withArrow;
        }
        EXPECT_EQ(withArrow, fps * 15 / 30) << fps;
    }
}

TEST(Pipeline, ArrowIsRedForABoundDirection) {
    Rig rig;
    rig.pipeline->controlEvents()->selectApplication("App");
    cv::Mat bound(240, 320, CV_8UC3, cv::Scalar(0, 0, 0)), unbound = bound.clone();
    rig.pipeline->drawGestureArrow(bound, kDirUp);
    rig.pipeline->drawGestureArrow(unbound, kDirDown);
    EXPECT_EQ(bound.at<cv::Vec3b>(60, 160), cv::Vec3b(0, 0, 255));
    EXPECT_EQ(unbound.at<cv::Vec3b>(180, 160), cv::Vec3b(0, 255, 255));
}

TEST(Pipeline, ReloadRequestIsCarriedOutBetweenFrames) {
    Rig rig;
    const auto before = rig.pipeline->controlEvents();
    rig.state.reloadConfigRequested = true;
    rig.state.tracking = false;
    rig.frame(1);
    EXPECT_EQ(rig.pipeline->controlEvents(), before) << "waits while tracking is off";
    rig.state.tracking = true;
    rig.frame(2);
    EXPECT_NE(rig.pipeline->controlEvents(), before);
    EXPECT_FALSE(rig.state.reloadConfigRequested.load());
    ASSERT_FALSE(rig.statusTexts.empty());
    EXPECT_EQ(rig.statusTexts.back(), "config.xml reloaded");

    std::ofstream("config.xml") << "<config><app>";
    rig.pipeline->reloadConfiguration();
    EXPECT_NE(rig.statusTexts.back().find("config.xml"), std::string::npos);
    EXPECT_NE(rig.statusTexts.back(), "config.xml reloaded") << "a broken file is reported";
}

TEST(Pipeline, StrokeDebounce) {
    Rig rig;
    rig.pipeline->countStroke(kDirDown, 100000);
    rig.pipeline->countStroke(kDirDown, 100019);
    rig.pipeline->countStroke(kDirDown, 100020);
    EXPECT_EQ(rig.state.strokeCount(kStrokeDown), 2);
}

TEST(MouseMode, HalvesTheTargetAndMovesThePointer) {
    Rig rig;
    cv::Mat image(120, 160, CV_8UC3);
    rig.pipeline->mouseModeStep(kDirUp, image);
    EXPECT_EQ(rig.pipeline->pointerRect(), cv::Rect(0, 0, 160, 60));
    auto moves = rig.desktop->callsOf(Kind::MoveMouseAbsolute);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].x, 32768);
    EXPECT_EQ(moves[0].y, 16384);
    EXPECT_EQ(image.at<cv::Vec3b>(0, 80), cv::Vec3b(255, 0, 0)) << "blue target rectangle";

    // 10 frames later the cooldown still blocks; 31 frames after the step it acts.
    for (int i = 1; i <= 10; ++i)
        rig.pipeline->mouseModeStep(i == 10 ? kDirDownRight : 0, image);
    EXPECT_EQ(rig.pipeline->pointerRect(), cv::Rect(0, 0, 160, 60));
    for (int i = 11; i <= 30; ++i)
        rig.pipeline->mouseModeStep(0, image);
    rig.pipeline->mouseModeStep(kDirDownRight, image);
    EXPECT_EQ(rig.pipeline->pointerRect(), cv::Rect(80, 0, 80, 60));
}

TEST(MouseMode, HeightHalvesDownToOnePixelThenSteps) {
    Rig rig;
    cv::Mat image(120, 160, CV_8UC3);
    std::vector<int> heights;
    for (int i = 0; i < 8; ++i) {
        rig.pipeline->mouseModeStep(kDirDown, image);
        heights.push_back(rig.pipeline->pointerRect().height);
        for (int k = 0; k < 30; ++k)
            rig.pipeline->mouseModeStep(0, image);
    }
    EXPECT_EQ(heights, (std::vector<int>{60, 30, 15, 7, 3, 1, 1, 1}));
    EXPECT_EQ(rig.pipeline->pointerRect().y, 60 + 30 + 15 + 7 + 3 + 1 + 1 + 1);
}

TEST(MouseMode, ClapDispatchesAndLeaves) {
    Rig rig;
    rig.state.mouseMode = true;
    cv::Mat image(120, 160, CV_8UC3);
    rig.pipeline->mouseModeStep(kDirUp, image);
    for (int k = 0; k < 30; ++k)
        rig.pipeline->mouseModeStep(0, image);
    rig.desktop->clearCalls();
    rig.pipeline->mouseModeStep(kDirToCenter, image);
    EXPECT_FALSE(rig.state.mouseMode.load());
    EXPECT_EQ(rig.pipeline->pointerRect(), cv::Rect(0, 0, 160, 120));
    EXPECT_TRUE(rig.desktop->callsOf(Kind::MoveMouseAbsolute).empty());
    ASSERT_TRUE(rig.desktop->waitForCalls(1, std::chrono::seconds(5)));
    EXPECT_EQ(rig.desktop->callsOf(Kind::SendKeyRecords)[0].records[0].vk, 13)
        << "the clap reached the configured event";
}

TEST(Playback, PlaysAnyFileSizeAndStepsFrames) {
    Rig rig;
    const std::string video = writeVideo(rig.work.path("big.avi"), 12, cv::Size(320, 240), 0.5);
    rig.state.videoPath = video;
    rig.state.playingBack = true;
    const auto start = std::chrono::steady_clock::now();
    rig.pipeline->playFile();
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, std::chrono::seconds(3)) << "a rate below 1 plays at 30 frames a second";
    EXPECT_FALSE(rig.state.playingBack.load());
    EXPECT_EQ(rig.state.frameCounter.load(), 12);
    const auto shown = rig.panes.shown("video");
    ASSERT_EQ(shown.size(), 12u);
    EXPECT_EQ(shown[0].size(), cv::Size(160, 120));

    // A file that is only shown (tracking off) keeps its size.
    rig.state.tracking = false;
    rig.state.playingBack = true;
    rig.pipeline->playFile();
    EXPECT_EQ(rig.panes.shown("video").back().size(), cv::Size(320, 240));
    rig.state.tracking = true;

    rig.state.frameCounter = 0;
    rig.pipeline->showFrameAt(0);
    rig.pipeline->showFrameAt(5);
    EXPECT_EQ(rig.panes.shown("video").size(), 26u);
    rig.state.videoPath = rig.work.path("missing.avi");
    rig.pipeline->showFrameAt(1);
    EXPECT_EQ(rig.panes.shown("video").size(), 26u);
}

TEST(Playback, GuideClipPlaysToItsEndOrStops) {
    Rig rig;
    const std::string clip = writeVideo(rig.work.path("clip.avi"), 25, cv::Size(240, 240));
    EXPECT_TRUE(rig.pipeline->playGuideVideo(clip, "first\nsecond\nthird"));
    EXPECT_FALSE(rig.state.guidePlaying.load());
    const auto shown = rig.panes.shown("demo_video");
    ASSERT_EQ(shown.size(), 25u);
    EXPECT_EQ(shown[0].at<cv::Vec3b>(0, 100), cv::Vec3b(0, 0, 0)) << "black border";
    EXPECT_EQ(shown[0].at<cv::Vec3b>(30, 200), cv::Vec3b(214, 171, 92)) << "caption box";
    // Decoded ahead in batches, the frames still come in their order, each its own.
    cv::VideoCapture direct(clip, cv::CAP_FFMPEG);
    const cv::Rect belowCaption(4, 80, 230, 100); // inside the border
    for (size_t k = 0; k < shown.size(); ++k) {
        cv::Mat decoded;
        ASSERT_TRUE(direct.read(decoded));
        EXPECT_EQ(cv::norm(shown[k](belowCaption), decoded(belowCaption), cv::NORM_INF), 0)
            << "frame " << k;
    }

    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1050));
        rig.state.guidePlaying = false;
    });
    EXPECT_FALSE(rig.pipeline->playGuideVideo(clip, ""));
    stopper.join();
    EXPECT_LT(rig.panes.shown("demo_video").size(), 25u + 15u);
    EXPECT_TRUE(rig.pipeline->playGuideVideo(rig.work.path("missing.avi"), "x"));
}

// The indicator draws on the camera's picture as it came, whether or not the video pane's
// copy had captions, an arrow or the pointer's rectangle drawn on it.
TEST(LiveCapture, IndicatorGetsThePictureWithoutTheVideoPanesDrawings) {
    struct Case {
        const char* what;
        int firstFrame;
        bool mouseMode;
    };
    for (const Case c : {Case{"start captions", 0, false}, Case{"nothing drawn", 5000, false},
                         Case{"pointer rectangle", 5000, true}}) {
        Rig rig;
        PipelineServices s;
        s.desktop = rig.desktop;
        s.panes = &rig.panes;
        s.control.configPath = "config.xml";
        s.makeCamera = [] {
            return std::make_unique<FakeCamera>(20, FakeCamera::Then::Fail,
                                                std::make_shared<Gate>());
        };
        int pictures = 0, drawnOn = 0;
        s.updateIndicator = [&](const cv::Mat& picture, int) {
            ++pictures;
            drawnOn += cv::countNonZero(picture.reshape(1) != 40) > 0;
        };
        MotionPipeline pipeline(rig.state, s);
        pipeline.createWindows();
        rig.state.frameCounter = c.firstFrame;
        rig.state.mouseMode = c.mouseMode;
        EXPECT_TRUE(pipeline.runLiveCapture());
        EXPECT_EQ(pictures, 20) << c.what;
        EXPECT_EQ(drawnOn, 0) << c.what;
        const auto shown = rig.panes.shown("video");
        ASSERT_FALSE(shown.empty());
        EXPECT_EQ(cv::countNonZero(shown.back().reshape(1) != 40) > 0,
                  c.firstFrame == 0 || c.mouseMode)
            << c.what;
    }
}

TEST(LiveCapture, FileStandsInForTheCameraAndIsRecorded) {
    Rig rig;
    PipelineServices s;
    const std::string video = writeVideo(rig.work.path("camera.avi"), 20, cv::Size(640, 480));
    s.desktop = rig.desktop;
    s.panes = &rig.panes;
    s.cameraSource = video;
    s.control.configPath = "config.xml";
    int indicatorUpdates = 0;
    s.updateIndicator = [&](const cv::Mat& clean, int) {
        EXPECT_EQ(clean.size(), cv::Size(320, 240));
        ++indicatorUpdates;
    };
    MotionPipeline pipeline(rig.state, s);
    pipeline.createWindows();
    rig.state.recording = true;
    std::thread loop([&] { EXPECT_TRUE(pipeline.runLiveCapture()); });
    while (rig.state.frameCounter.load() < 30) // more than the file: it loops
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    rig.state.capturing = false;
    loop.join();
    EXPECT_GE(indicatorUpdates, 29);
    const auto shown = rig.panes.shown("video");
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back().size(), cv::Size(320, 240));

    cv::VideoCapture recorded("recording.avi", cv::CAP_FFMPEG);
    ASSERT_TRUE(recorded.isOpened()) << "recording.avi was written";
    EXPECT_GE(recorded.get(cv::CAP_PROP_FRAME_COUNT), 29);
    EXPECT_EQ(recorded.get(cv::CAP_PROP_FRAME_WIDTH), 160);

    MotionPipeline noCamera(rig.state, [&] {
        PipelineServices n;
        n.desktop = rig.desktop;
        n.cameraSource = rig.work.path("no-such-camera.avi");
        return n;
    }());
    EXPECT_FALSE(noCamera.runLiveCapture());
}

TEST(LiveCapture, PlaybackOfARecordingCountsTheSameStrokes) {
    const std::string demo = std::string(ZORVEXA_BIN_DIR) + "/DemoVideos/demo_session.avi";
    if (!fs::exists(demo))
        GTEST_SKIP() << "the rendered demo session is missing";
    Rig rig;
    constexpr int kFrames = 300; // the first strokes of the demo
    PipelineServices s;
    s.desktop = rig.desktop;
    s.cameraSource = demo;
    s.control.configPath = "config.xml";
    s.control.sleep = [](std::chrono::milliseconds) {};
    AppState live;
    live.recording = true;
    s.updateIndicator = [&](const cv::Mat&, int) {
        if (live.frameCounter.load() >= kFrames)
            live.capturing = false; // the loop ends after this frame
    };
    {
        MotionPipeline pipeline(live, s);
        pipeline.createWindows();
        EXPECT_TRUE(pipeline.runLiveCapture());
    }
    ASSERT_EQ(live.frameCounter.load(), kFrames);

    AppState played;
    played.videoPath = "recording.avi";
    played.playingBack = true;
    RecordingPanes panes;
    s.panes = &panes;
    s.updateIndicator = {};
    MotionPipeline pipeline(played, s);
    pipeline.createWindows();
    pipeline.playFile();
    EXPECT_EQ(played.frameCounter.load(), kFrames);
    int total = 0;
    for (int i = 0; i < kStrokeKinds; ++i) {
        EXPECT_EQ(played.strokeCount(i), live.strokeCount(i)) << "counter " << i;
        total += live.strokeCount(i);
    }
    EXPECT_GE(total, 3) << "UP, DOWN and DOWNLEFT happen in the first 300 frames";

    // Stepping shows the frame at the index, unchanged while tracking is off.
    played.tracking = false;
    cv::VideoCapture reader("recording.avi", cv::CAP_FFMPEG);
    cv::Mat expected;
    for (int i = 0; i <= 42; ++i)
        reader.read(expected);
    pipeline.showFrameAt(42);
    const auto shown = panes.shown("video");
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(cv::norm(shown.back(), expected, cv::NORM_INF), 0.0);
}

// A run (live, playback, a jump while stepping) must not decide anything from samples
// an earlier run left in the histories: here a half-finished UP stroke.
TEST(Runs, EachRunStartsWithCleanHistories) {
    Rig rig;
    const std::string video = writeVideo(rig.work.path("calm.avi"), 6, cv::Size(160, 120));
    auto noUpDecided = [&](const char* run) {
        EXPECT_EQ(rig.state.strokeCount(kStrokeUp), 0) << run;
        for (const auto& call : rig.desktop->callsOf(Kind::SendKeyRecords))
            EXPECT_NE(call.records[0].vk, 38) << run << ": VK_UP sent";
    };

    rig.primeDecision(kDirUp);
    rig.state.playingBack = true;
    rig.state.videoPath = video;
    rig.pipeline->playFile();
    noUpDecided("playback");

    rig.primeDecision(kDirUp);
    rig.pipeline->showFrameAt(3);
    noUpDecided("step");

    PipelineServices s;
    s.desktop = rig.desktop;
    s.cameraSource = video;
    s.control.configPath = "config.xml";
    s.control.sleep = [](std::chrono::milliseconds) {};
    AppState& state = rig.state;
    s.updateIndicator = [&state](const cv::Mat&, int) {
        if (state.frameCounter.load() >= 4)
            state.capturing = false;
    };
    MotionPipeline live(rig.state, s);
    live.createWindows();
    MotionSegment up;
    up.x = 30;
    up.width = 100;
    up.height = 60;
    up.angle = 270;
    for (int i = 0; i < 4; ++i)
        live.interpreter().addSample({up}, 60, 0);
    rig.state.frameCounter = 0;
    EXPECT_TRUE(live.runLiveCapture());
    noUpDecided("live");
}

// The shipped configuration: a clap enters mouse mode (with a pause of 15 frames), and
// a clap after a rest clicks and leaves mouse mode.
TEST(MouseMode, ClapClicksWithTheShippedConfiguration) {
    Rig rig(shippedConfig());
    ASSERT_TRUE(rig.pipeline->controlEvents()->loadError().empty());
    rig.desktop->setForeground(1, "firefox-esr");
    rig.state.fps = 30;
    rig.frame(1);
    rig.pipeline->dispatchGesture(kDirToCenter);
    ASSERT_TRUE(rig.state.mouseMode.load());
    ASSERT_GT(rig.state.debounceFrames, 0);
    for (int ts = 2; ts <= 60; ++ts) // resting: nothing decided
        rig.frame(ts);
    cv::Mat image(120, 160, CV_8UC3);
    rig.pipeline->mouseModeStep(kDirToCenter, image);
    EXPECT_FALSE(rig.state.mouseMode.load());
    ASSERT_TRUE(rig.desktop->waitForCalls(2, std::chrono::seconds(5)));
    const auto clicks = rig.desktop->callsOf(Kind::LeftButton);
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_TRUE(clicks[0].down);
    EXPECT_FALSE(clicks[1].down);
}

// A camera that fails every read, or whose read never returns, ends the live run with
// one message and capture off; one whose open never returns does not hold up turning
// capture off. None of the runs waits for the stuck call.
TEST(CameraFaults, AFailingCameraEndsTheRunOnceAndAStuckOneNeverHoldsItUp) {
    Rig rig;
    struct Case {
        FakeCamera::Then then;
        bool blockOpen;
        const char* why;
    };
    for (const Case& c : {Case{FakeCamera::Then::Fail, false, "reads in a row failed"},
                          Case{FakeCamera::Then::Block, false, "no picture came for a second"},
                          Case{FakeCamera::Then::Block, true, nullptr}}) {
        auto gate = std::make_shared<Gate>();
        PipelineServices s;
        s.desktop = rig.desktop;
        s.control.configPath = "config.xml";
        s.makeCamera = [&] { return std::make_unique<FakeCamera>(12, c.then, gate, c.blockOpen); };
        std::vector<std::string> lost;
        s.cameraLost = [&](const std::string& text) { lost.push_back(text); };
        MotionPipeline pipeline(rig.state, s);
        pipeline.createWindows();
        rig.state.frameCounter = 0;
        std::thread stopper;
        if (c.blockOpen) // turned off while the camera is still opening
            stopper = std::thread([&] {
                std::unique_lock<std::mutex> lock(gate->mutex);
                gate->changed.wait(lock, [&] { return gate->reached; });
                lock.unlock();
                rig.state.capturing = false;
            });
        EXPECT_TRUE(pipeline.runLiveCapture());
        EXPECT_FALSE(rig.state.capturing.load());
        if (c.why) {
            EXPECT_EQ(rig.state.frameCounter.load(), 12) << "failed reads are not frames";
            ASSERT_EQ(lost.size(), 1u) << c.why;
            EXPECT_NE(lost[0].find(c.why), std::string::npos) << lost[0];
            EXPECT_NE(lost[0].find("Video > Grab"), std::string::npos);
        } else {
            stopper.join();
            EXPECT_TRUE(lost.empty());
            EXPECT_EQ(rig.state.frameCounter.load(), 0);
        }
        gate->release(); // only now does the stuck call return
    }
}

// An exception from a frame's processing is told once and the loop carries on.
TEST(CameraFaults, AnExceptionInAFrameIsToldOnceAndTheLoopCarriesOn) {
    Rig rig;
    PipelineServices s;
    s.desktop = rig.desktop;
    s.control.configPath = "config.xml";
    s.makeCamera = [] {
        return std::make_unique<FakeCamera>(40, FakeCamera::Then::Fail, std::make_shared<Gate>());
    };
    std::vector<std::string> errors;
    s.reportError = [&](const std::string& text) { errors.push_back(text); };
    int frames = 0;
    s.updateIndicator = [&](const cv::Mat&, int) {
        ++frames;
        throw cv::Exception(cv::Error::StsBadArg, "broken", "updateIndicator", __FILE__, __LINE__);
    };
    MotionPipeline pipeline(rig.state, s);
    pipeline.createWindows();
    EXPECT_TRUE(pipeline.runLiveCapture());
    EXPECT_EQ(frames, 40);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("broken"), std::string::npos);
}
