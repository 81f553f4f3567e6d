// Per-frame cost of the motion analysis (extract + interpret + history) on the demo
// session at 160 x 120, beside the bare sequence of OpenCV calls it is built on, on the
// same frames, and the cost of the robust recognizer beside the classic one. Prints the
// costs, their ratios and the heap allocations per frame.
//
// With --paced, it then also runs both analyses at the camera's pace, 33 ms of sleep
// between frames, and prints their CPU time per frame: between frames the caches lose the
// analysis's working data, so per frame this is what the live program pays. It also
// times decoding the video itself at that pace: with the demo session as the camera, the
// program pays that too, and the two together are the floor of its live cost.
//
//   zorvexa-bench-motion [VIDEO] [--paced] [benchmark flags]
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include <opencv2/bgsegm.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/optflow/motempl.hpp>
#include <opencv2/videoio.hpp>

#include "common/StageTiming.h"
#include "main/motion/FrameAnalysis.h"
#include "main/motion/FrameScaling.h"
#include "main/motion/robust/RobustRecognizer.h"
#include "main/shell/AppState.h"

namespace {

std::atomic<long> g_allocations{0};

std::vector<cv::Mat> g_frames;

std::vector<cv::Mat> loadFrames(const std::string& path) {
    std::vector<cv::Mat> frames;
    cv::VideoCapture reader(path, cv::CAP_FFMPEG);
    cv::Mat f;
    while (reader.isOpened() && reader.read(f)) {
        cv::Mat small;
        zorvexa::toProcessingFrame(f, small);
        frames.push_back(small);
    }
    if (frames.empty()) {
        // No video: a synthetic figure swinging a bar up and down over a textured ground.
        cv::RNG rng(7);
        cv::Mat ground(120, 160, CV_8UC3);
        rng.fill(ground, cv::RNG::UNIFORM, 30, 60);
        for (int i = 0; i < 600; ++i) {
            cv::Mat fr = ground.clone();
            const int y = 10 + (i * 3) % 90;
            cv::rectangle(fr, cv::Rect(30, y, 100, 25), cv::Scalar(200, 180, 160), cv::FILLED);
            frames.push_back(fr);
        }
    }
    return frames;
}

// The bare OpenCV sequence the extractor is built on, with nothing of ours around it.
struct BareSequence {
    cv::Ptr<cv::BackgroundSubtractor> mog =
        cv::bgsegm::createBackgroundSubtractorMOG(2, 20, 0.3, 0);
    cv::Mat fg{120, 160, CV_8UC1, cv::Scalar(0)}, sil{120, 160, CV_8UC1, cv::Scalar(0)};
    cv::Mat mhi{120, 160, CV_32FC1, cv::Scalar(0)}, mask{120, 160, CV_8UC1, cv::Scalar(0)};
    cv::Mat orient{120, 160, CV_32FC1, cv::Scalar(0)}, segmask{120, 160, CV_32FC1, cv::Scalar(0)};
    cv::Mat k1{4, 4, CV_8UC1, cv::Scalar(1)}, k2{4, 4, CV_8UC1, cv::Scalar(1)};
    std::vector<cv::Rect> rects;
    double sink = 0;

    void step(const cv::Mat& frame, int ts) {
        mog->apply(frame, fg, 0.1);
        cv::threshold(fg, fg, 70, 255, cv::THRESH_BINARY);
        cv::threshold(fg, sil, 32, 255, cv::THRESH_BINARY);
        cv::morphologyEx(sil, sil, cv::MORPH_CLOSE, k1, cv::Point(-1, -1), 1, cv::BORDER_CONSTANT,
                         cv::morphologyDefaultBorderValue());
        cv::morphologyEx(sil, sil, cv::MORPH_OPEN, k2, cv::Point(-1, -1), 1, cv::BORDER_CONSTANT,
                         cv::Scalar(0, 0, 0, 0));
        cv::motempl::updateMotionHistory(sil, mhi, ts, 7);
        cv::motempl::calcMotionGradient(mhi, mask, orient, 0.1, 390, 3);
        rects.clear();
        cv::motempl::segmentMotion(mhi, segmask, rects, ts, 7);
        for (size_t i = 0; i < rects.size() && i < 2; ++i) {
            const cv::Rect& r = rects[i];
            if (cv::norm(sil(r), cv::NORM_L2) > r.area() * 0.5)
                sink += cv::motempl::calcGlobalOrientation(orient(r), mask(r), mhi(r), ts, 7);
        }
    }
};

void BM_BareOpenCv(benchmark::State& st) {
    BareSequence bare;
    int ts = 0;
    long allocs = 0, frames = 0;
    for (auto _ : st) {
        const cv::Mat& f = g_frames[static_cast<size_t>(ts) % g_frames.size()];
        const long before = g_allocations.load();
        bare.step(f, ++ts);
        allocs += g_allocations.load() - before;
        ++frames;
        benchmark::DoNotOptimize(bare.sink);
    }
    st.counters["allocs/frame"] = static_cast<double>(allocs) / static_cast<double>(frames);
}

// Our analysis, as the frame loop runs it, from its arming frame on.
struct OurSequence {
    zorvexa::AppState state;
    zorvexa::MotionExtractor ex;
    zorvexa::MotionInterpreter interp{state.frameWidth, &state};
    zorvexa::StrokeCounter strokes;

    OurSequence() { ex.extract(g_frames[0], 0); }

    int step(const cv::Mat& frame, int ts) {
        state.frameCounter.store(ts);
        return zorvexa::analyseFrame(ex, interp, strokes, state, frame, ts).direction;
    }
};

void BM_ZorvexaAnalysis(benchmark::State& st) {
    OurSequence ours;
    int ts = 0;
    long allocs = 0, frames = 0;
    for (auto _ : st) {
        const cv::Mat& f = g_frames[static_cast<size_t>(ts) % g_frames.size()];
        const long before = g_allocations.load();
        const int direction = ours.step(f, ++ts);
        allocs += g_allocations.load() - before;
        ++frames;
        benchmark::DoNotOptimize(direction);
    }
    st.counters["allocs/frame"] = static_cast<double>(allocs) / static_cast<double>(frames);
}

void BM_RobustAnalysis(benchmark::State& st) {
    zorvexa::AppState state;
    zorvexa::robust::RobustRecognizer robust;
    zorvexa::StrokeCounter strokes;
    robust.observe(g_frames[0], 0, 30); // arming frame
    int ts = 0;
    long allocs = 0, frames = 0;
    for (auto _ : st) {
        const cv::Mat& f = g_frames[static_cast<size_t>(ts) % g_frames.size()];
        state.frameCounter.store(++ts);
        const long before = g_allocations.load();
        const auto a = zorvexa::analyseFrame(robust, strokes, state, f, ts);
        allocs += g_allocations.load() - before;
        ++frames;
        benchmark::DoNotOptimize(a.direction);
    }
    st.counters["allocs/frame"] = static_cast<double>(allocs) / static_cast<double>(frames);
}

BENCHMARK(BM_BareOpenCv)->Unit(benchmark::kMicrosecond)->MinTime(2.0);
BENCHMARK(BM_ZorvexaAnalysis)->Unit(benchmark::kMicrosecond)->MinTime(2.0);
BENCHMARK(BM_RobustAnalysis)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

// Collects the two results and prints their ratio at the end.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {} // plain text, no colour codes
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.run_type != Run::RT_Iteration)
                continue;
            const double perFrame = r.GetAdjustedRealTime();
            const double allocs =
                r.counters.count("allocs/frame") ? double(r.counters.at("allocs/frame")) : 0;
            if (r.benchmark_name().find("Bare") != std::string::npos) {
                bare_ = perFrame;
                bareAllocs_ = allocs;
            } else if (r.benchmark_name().find("Robust") != std::string::npos) {
                robust_ = perFrame;
                robustAllocs_ = allocs;
            } else {
                ours_ = perFrame;
                oursAllocs_ = allocs;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        if (bare_ > 0 && ours_ > 0) {
            std::printf("\nper frame: bare OpenCV %.1f us, Zorvexa analysis %.1f us, ratio %.3f "
                        "(goal <= 1.10)\n",
                        bare_, ours_, ours_ / bare_);
            std::printf("heap allocations per frame: bare OpenCV %.2f, Zorvexa analysis %.2f "
                        "(ours: %.2f)\n",
                        bareAllocs_, oursAllocs_, oursAllocs_ - bareAllocs_);
        }
        if (ours_ > 0 && robust_ > 0)
            std::printf("robust recognizer %.1f us per frame, %.3f x the classic analysis (goal "
                        "<= 1.5), %.2f heap allocations per frame\n",
                        robust_, robust_ / ours_, robustAllocs_);
    }

  private:
    double bare_ = 0, ours_ = 0, bareAllocs_ = 0, oursAllocs_ = 0;
    double robust_ = 0, robustAllocs_ = 0;
};

// Mean CPU microseconds of `step(frame, timestamp)` over `frames` frames at 30 fps.
template <typename Step> double pacedCost(int frames, Step step) {
    double total = 0;
    for (int i = 1; i <= frames; ++i) {
        const cv::Mat& f = g_frames[static_cast<size_t>(i) % g_frames.size()];
        const int64_t before = zorvexa::timing::threadCpuNs();
        step(f, i);
        total += static_cast<double>(zorvexa::timing::threadCpuNs() - before) / 1e3;
        std::this_thread::sleep_for(std::chrono::milliseconds(33));
    }
    return total / frames;
}

// Mean CPU microseconds of reading (decoding and converting) one frame of `video` at 30 fps,
// as the program's camera thread does, from its start again at its end; 0 when the video
// cannot be read.
double pacedDecodeCost(const std::string& video, int frames) {
    cv::VideoCapture capture(video, cv::CAP_FFMPEG);
    cv::Mat frame;
    bool failed = !capture.isOpened();
    const double cost = pacedCost(frames, [&](const cv::Mat&, int) {
        if (!failed && !capture.read(frame))
            failed = !capture.set(cv::CAP_PROP_POS_FRAMES, 0) || !capture.read(frame);
    });
    return failed ? 0 : cost;
}

void reportPacedCosts(const std::string& video) {
    constexpr int kFrames = 300;
    BareSequence bare;
    const double bareCost = pacedCost(kFrames, [&](const cv::Mat& f, int ts) { bare.step(f, ts); });
    OurSequence analysis;
    const double ours = pacedCost(
        kFrames, [&](const cv::Mat& f, int ts) { benchmark::DoNotOptimize(analysis.step(f, ts)); });
    std::printf("at 30 fps (%d frames, 33 ms between them): bare OpenCV %.1f us, Zorvexa "
                "analysis %.1f us of CPU per frame\n",
                kFrames, bareCost, ours);
    const double decode = pacedDecodeCost(video, kFrames);
    if (decode > 0)
        std::printf("decoding the video at 30 fps: %.1f us of CPU per frame; with the analysis "
                    "%.2f %% of one core\n",
                    decode, (decode + ours) * 30 / 1e4);
}

} // namespace

// Counting replacement of the global allocator (malloc/free underneath).
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t n) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(n ? n : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

int main(int argc, char** argv) {
    std::string video = std::string(ZORVEXA_BIN_DIR) + "/DemoVideos/demo_session.avi";
    if (argc > 1 && argv[1][0] != '-') {
        video = argv[1];
        --argc;
        ++argv;
    }
    bool paced = false;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--paced") {
            paced = true;
            for (int j = i; j + 1 < argc; ++j)
                argv[j] = argv[j + 1];
            --argc;
            break;
        }
    }
    g_frames = loadFrames(video);
    std::printf("%zu frames of 160x120 from %s\n", g_frames.size(), video.c_str());
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    if (paced)
        reportPacedCosts(video);
    return 0;
}
