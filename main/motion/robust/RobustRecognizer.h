// The opt-in recognizer of our own: consecutive-frame motion on each side of the body's
// centre line, cut into strokes and named by the pair of arm trajectories. It reports
// each stroke once, as soon as the stroke's motion has died down.
#pragma once

#include <vector>

#include "main/motion/StrokeRecognizer.h"
#include "main/motion/robust/MotionEnergy.h"
#include "main/motion/robust/StrokeSegmenter.h"

namespace zorvexa::robust {

class RobustRecognizer : public StrokeRecognizer {
  public:
    RobustRecognizer() { segments_.reserve(2); }

    int observe(const cv::Mat& frame, int timestamp, int fps) override;
    MotionDir decide() override { return last_ = pending_; }
    void commit(int /*sampleTimestamp*/) override {}
    void reset() override;
    const std::vector<MotionSegment>& segments() const override { return segments_; }
    MotionDir lastDirection() const override { return last_; }

    // The body's centre line as estimated so far (picture widths).
    double centre() const { return centre_; }
    const StrokeSegmenter& segmenter() const { return segmenter_; }

  private:
    MotionEnergy energy_;
    StrokeSegmenter segmenter_;
    std::vector<MotionSegment> segments_;
    FrameMotion previous_; // the motion of the frame before
    double centre_ = 0.5;
    MotionDir pending_ = kDirNone;
    MotionDir last_ = kDirNone;
};

} // namespace zorvexa::robust
