// The opt-in timing record of the frame loop: CPU time of the calling thread spent in each
// stage, summed since start-up and rewritten to a text file about once a second, so that a
// benchmark can take the difference between two readings. Off unless enabled at start-up
// (ZORVEXA_TIMING=FILE); when off, a stage costs one relaxed atomic load.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

namespace zorvexa::timing {

enum class Stage : int {
    Capture,      // reading and decoding a camera frame
    MirrorScale,  // display size, mirror, processing size, clean copy, recording
    Extract,      // motion extraction
    Interpret,    // interpretation, stroke counting, history
    Dispatch,     // gesture dispatch (up to the executor's hand-over)
    Draw,         // arrow, captions, pointer rectangle on the shown frame
    PaneHandOver, // image conversion and hand-over to a pane; sending a frame's pictures
    Painting,     // a pane's paint event on the window thread
    GuideClip,    // one guide clip frame: read, captions, frame, hand-over
    Indicator,    // the indicator update of one frame
    Count
};

extern std::atomic<bool> g_enabled;

inline bool enabled() {
    return g_enabled.load(std::memory_order_relaxed);
}

// Starts recording into `path` (rewritten whole at each flush). An empty path does nothing.
void enable(const std::string& path);
// Stops recording and writes the last figures.
void disable();

// CPU time of the calling thread in nanoseconds.
int64_t threadCpuNs();
void add(Stage stage, int64_t ns);
// One frame of the live loop; the file is rewritten when the last write is a second old.
void frameDone();
// The record's text: "frames N" then one "stage NAME CALLS NANOSECONDS" line per stage.
std::string recordText();
const char* stageName(Stage stage);

// Times the enclosing block into `stage` when recording is on.
class Scope {
  public:
    explicit Scope(Stage stage) : stage_(stage), start_(enabled() ? threadCpuNs() : -1) {}
    ~Scope() {
        if (start_ >= 0)
            add(stage_, threadCpuNs() - start_);
    }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

  private:
    Stage stage_;
    int64_t start_;
};

} // namespace zorvexa::timing
