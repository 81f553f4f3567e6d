// The per-frame seam between the frame loops and a stroke recognizer: each 160 x 120
// frame goes in, at most one MotionDir comes out, into the same stroke counting,
// dispatch, indicator and calories whichever recognizer decided it.
#pragma once

#include <vector>

#include <opencv2/core.hpp>

#include "main/motion/MotionDir.h"
#include "main/motion/MotionSegment.h"

namespace zorvexa {

class MotionExtractor;

// Which recognizer a frame loop uses.
enum class RecognizerKind { Classic, Robust };
class MotionInterpreter;

class StrokeRecognizer {
  public:
    virtual ~StrokeRecognizer() = default;

    // Looks at one frame and returns how many motion regions it found in it. `fps` is
    // the measured frame rate, for thresholds counted in frames.
    virtual int observe(const cv::Mat& frame, int timestamp, int fps) = 0;
    // The decision for the frame observed last (0: none).
    virtual MotionDir decide() = 0;
    // Called after the decision was counted, with the frame counter of the sample.
    virtual void commit(int sampleTimestamp) = 0;
    // Forgets everything seen so far; the next frame starts afresh.
    virtual void reset() = 0;

    // The motion regions of the frame observed last, largest first.
    virtual const std::vector<MotionSegment>& segments() const = 0;
    // The latest decision (kept until the next one is taken).
    virtual MotionDir lastDirection() const = 0;
};

// The recognizer the system has always had: the motion extractor and the interpreter,
// which it uses without owning them.
class ClassicRecognizer : public StrokeRecognizer {
  public:
    ClassicRecognizer(MotionExtractor& extractor, MotionInterpreter& interpreter)
        : extractor_(extractor), interpreter_(interpreter) {}

    int observe(const cv::Mat& frame, int timestamp, int fps) override;
    MotionDir decide() override;
    void commit(int sampleTimestamp) override;
    void reset() override;
    const std::vector<MotionSegment>& segments() const override;
    MotionDir lastDirection() const override;

  private:
    MotionExtractor& extractor_;
    MotionInterpreter& interpreter_;
};

} // namespace zorvexa
