// Stroke latency: the time from the frame that decides a stroke (the dispatcher's call for
// that frame) to the return of the desktop call that sends the last key event of the chord,
// over many strokes, with p50, p99 and the maximum. The desktop is the in-memory fake or the
// real one of this session (X11 under Xvfb); either way it is wrapped by a recorder that
// notes when each key call returns, so the figure covers the dispatcher, the executor's
// thread start and the backend, and nothing else.
//
// Usage: zorvexa-bench-latency [--desktop fake|system] [--strokes N] [--chord one|two]
//   one: F5 alone (the target); two: Ctrl+A, for comparison.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "main/control/CControlEvents.h"
#include "main/motion/MotionDir.h"
#include "main/shell/AppState.h"
#include "platform/Desktop.h"
#include "platform/fake/FakeDesktop.h"

namespace zorvexa {
namespace {

using Clock = std::chrono::steady_clock;

// Forwards everything to the real desktop; notes when each key call has returned.
class RecordingDesktop final : public Desktop {
  public:
    explicit RecordingDesktop(std::shared_ptr<Desktop> inner) : inner_(std::move(inner)) {}

    WindowId foregroundWindow() override { return inner_->foregroundWindow(); }
    std::string windowClass(WindowId window) override { return inner_->windowClass(window); }
    int sendKeyRecords(const KeyRecord* records, int count) override {
        const int sent = inner_->sendKeyRecords(records, count);
        noteKeyCall();
        return sent;
    }
    void postKeyToForeground(int vk) override {
        inner_->postKeyToForeground(vk);
        noteKeyCall();
    }
    void moveMouseRelative(int dx, int dy) override { inner_->moveMouseRelative(dx, dy); }
    void moveMouseAbsolute(int nx, int ny) override { inner_->moveMouseAbsolute(nx, ny); }
    void leftButton(bool down) override { inner_->leftButton(down); }
    bool activateWindow(WindowId window) override { return inner_->activateWindow(window); }
    std::vector<TopLevelWindow> topLevelWindows() override { return inner_->topLevelWindows(); }
    OpenResult openFile(const std::string& path) override { return inner_->openFile(path); }
    int screenWidth() override { return inner_->screenWidth(); }
    int screenHeight() override { return inner_->screenHeight(); }

    // Waits for the key call after `since`; its return time, or nothing after 2 s.
    bool waitForKeyCall(Clock::time_point& at) {
        std::unique_lock<std::mutex> lock(mutex_);
        const bool arrived =
            changed_.wait_for(lock, std::chrono::seconds(2), [this] { return calls_ > seen_; });
        if (!arrived)
            return false;
        seen_ = calls_;
        at = last_;
        return true;
    }

  private:
    void noteKeyCall() {
        const Clock::time_point now = Clock::now();
        std::lock_guard<std::mutex> lock(mutex_);
        last_ = now;
        ++calls_;
        changed_.notify_all();
    }

    std::shared_ptr<Desktop> inner_;
    std::mutex mutex_;
    std::condition_variable changed_;
    Clock::time_point last_;
    long calls_ = 0;
    long seen_ = 0;
};

double percentile(std::vector<double> values, double p) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t index =
        static_cast<size_t>(p / 100.0 * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

// The floor this machine sets: how long a new thread takes to run its first line, and how
// long a thread takes to wake from a 1 us sleep, measured the same way as the strokes.
void printMachineFloor(int count) {
    std::vector<double> spawn, wake;
    for (int k = 0; k < count; ++k) {
        const Clock::time_point start = Clock::now();
        Clock::time_point running;
        std::thread([&running] { running = Clock::now(); }).join();
        spawn.push_back(std::chrono::duration<double, std::micro>(running - start).count());
        const Clock::time_point before = Clock::now();
        std::this_thread::sleep_for(std::chrono::microseconds(1));
        wake.push_back(std::chrono::duration<double, std::micro>(Clock::now() - before).count());
        std::this_thread::sleep_until(start + std::chrono::milliseconds(33));
    }
    std::printf("machine floor: thread start p50 %.0f us, p99 %.0f us; wake-up from 1 us sleep "
                "p50 %.0f us, p99 %.0f us\n",
                percentile(spawn, 50), percentile(spawn, 99), percentile(wake, 50),
                percentile(wake, 99));
}

int run(int argc, char** argv) {
    std::string which = "fake";
    std::string chord = "one";
    int strokes = 500;
    for (int k = 1; k + 1 < argc; k += 2) {
        const std::string option = argv[k];
        if (option == "--desktop")
            which = argv[k + 1];
        else if (option == "--strokes")
            strokes = std::max(1, std::atoi(argv[k + 1]));
        else if (option == "--chord")
            chord = argv[k + 1];
    }

    std::shared_ptr<Desktop> inner;
    std::string windowClass = "LatencyProbe";
    if (which == "fake") {
        auto fake = std::make_shared<FakeDesktop>();
        fake->setForeground(7, windowClass);
        inner = fake;
    } else {
        inner = openSystemDesktop();
        // The window manager may take a moment to give the new window the focus.
        for (int wait = 0; wait < 50; ++wait) {
            windowClass = inner->windowClass(inner->foregroundWindow());
            if (!windowClass.empty() && windowClass != "default")
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        if (windowClass.empty() || windowClass == "default") {
            std::fprintf(stderr, "no window with a class in front (start one first)\n");
            return 1;
        }
    }
    auto desktop = std::make_shared<RecordingDesktop>(inner);

    // One application entry for the window in front; UP fires the chord at once, every
    // time, with no pause after it.
    const std::string extKey = chord == "two" ? " extKey=\"VK_CONTROL\"" : "";
    const std::string key = chord == "two" ? "VK_A" : "VK_F5";
    const std::string event = "<event name=\"UP_MOTION\" action=\"WM_KEYDOWN\" key=\"" + key +
                              "\"" + extKey + " debounce=\"0\"/>";
    const std::string path = "/tmp/zorvexa-latency-" + std::to_string(::getpid()) + ".xml";
    {
        std::ofstream out(path);
        out << "<zorvexa version=\"1.0\"><app name=\"probe\" windowClass=\"" << windowClass
            << "\"><mode desc=\"a\">" << event << "</mode><mode desc=\"b\">" << event
            << "</mode></app></zorvexa>\n";
    }
    AppState state;
    state.fps = 30;
    state.useBeginnerSettings = true;
    ControlSettings settings;
    settings.configPath = path;
    CControlEvents events(state, desktop, settings);
    std::remove(path.c_str());
    if (!events.loadError().empty()) {
        std::fprintf(stderr, "%s\n", events.loadError().c_str());
        return 1;
    }

    std::vector<double> latencies;
    latencies.reserve(static_cast<size_t>(strokes));
    int missing = 0;
    for (int k = 0; k < strokes; ++k) {
        events.dispatch(0); // the frame before: no stroke
        const Clock::time_point decided = Clock::now();
        events.dispatch(kDirUp);
        Clock::time_point sent;
        if (!desktop->waitForKeyCall(sent)) {
            ++missing;
            continue;
        }
        latencies.push_back(std::chrono::duration<double, std::micro>(sent - decided).count());
        // Let the executor thread end, then leave the rest of a frame period: strokes are
        // decided at most once a frame, and the backend keeps keystrokes a few
        // milliseconds apart on purpose (that spacing is not what is measured here).
        for (int wait = 0; wait < 200 && events.runningActions() > 0; ++wait)
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        std::this_thread::sleep_until(decided + std::chrono::milliseconds(33));
    }
    std::printf("desktop %s, chord %s, %zu strokes (%d without a key call)\n", which.c_str(),
                chord == "two" ? "Ctrl+A" : "F5", latencies.size(), missing);
    std::printf("decision to last key event sent: p50 %.0f us, p99 %.0f us, max %.0f us\n",
                percentile(latencies, 50), percentile(latencies, 99),
                latencies.empty() ? 0.0 : *std::max_element(latencies.begin(), latencies.end()));
    printMachineFloor(std::min(strokes, 300));
    return missing == 0 ? 0 : 1;
}

} // namespace
} // namespace zorvexa

int main(int argc, char** argv) {
    return zorvexa::run(argc, argv);
}
