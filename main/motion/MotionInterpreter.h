// Decides once per frame whether the user has just completed an exercise stroke, from
// the significant motion segments of the last frames.
#pragma once

#include <cstddef>
#include <vector>

#include "main/motion/MotionDir.h"
#include "main/motion/MotionSegment.h"

namespace zorvexa {

struct AppState;

// Sample classes beyond the MotionDir codes.
enum : int {
    kClassOpposedLeftFirst = 11,  // two horizontal segments, first moving left
    kClassOpposedRightFirst = 12, // two horizontal segments, first moving right
    kClassNoSegments = 25,        // no segment or more than two
};

struct MotionSample {
    int sampleClass = 0; // cached classification; 0 = not classified (yet)
    int timestamp = 0;   // frameCounter when the sample was added
    std::vector<MotionSegment> segments;
};

// Direction of one segment's angle (degrees, y downwards), or 0.
int segmentDirection(double angle);

// Class of a sample for a frame of the given width; caches a non-zero result in it.
int classifySample(MotionSample& sample, int frameWidth);

// Oldest-first history of samples that keeps its storage when samples are dropped, so
// the per-frame path allocates nothing once it is warm.
class SampleHistory {
  public:
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    MotionSample& operator[](std::size_t i) { return slots_[(head_ + i) % slots_.size()]; }
    const MotionSample& operator[](std::size_t i) const {
        return slots_[(head_ + i) % slots_.size()];
    }
    // Slot for a new newest sample; its old contents are to be overwritten.
    MotionSample& pushBack();
    void popFront();
    void clear() { head_ = size_ = 0; }

  private:
    std::vector<MotionSample> slots_;
    std::size_t head_ = 0;
    std::size_t size_ = 0;
};

class MotionInterpreter {
  public:
    MotionInterpreter(int frameWidth, AppState* state);

    // The decision for the history as it stands; also stored in lastDirection.
    int interpret();
    void addSample(const std::vector<MotionSegment>& segments, int maxLength, int timestamp);
    void clearHistory() { history_.clear(); }
    // A new run: no samples and no decision left from the previous one.
    void reset() {
        history_.clear();
        lastDirection = 0;
        upHold = false;
    }

    const SampleHistory& history() const { return history_; }

    int lastDirection = 0;
    bool upHold = false;

  private:
    SampleHistory history_;
    int frameWidth_;
    AppState* state_;
};

} // namespace zorvexa
