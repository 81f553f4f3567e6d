// Measures what moved between two consecutive frames, on each side of a vertical centre
// line. Differences of consecutive frames see a held pose as still at once (nothing to
// learn or unlearn), and the frame-wide mean change is taken out first so that a
// lighting change is not read as motion; a change of most of the picture is flagged.
#pragma once

#include <opencv2/core.hpp>

#include "main/motion/robust/StrokeSegmenter.h"

namespace zorvexa::robust {

class MotionEnergy {
  public:
    // Working size: half the 160 x 120 processing frame in each direction.
    static constexpr int kWidth = 80;
    static constexpr int kHeight = 60;

    // Measures one colour frame (any size; 160 x 120 expected) split at `centre`
    // (picture widths). The first frame after a reset only arms the measurement.
    FrameMotion measure(const cv::Mat& frame, double centre);
    void reset() { previous_.release(); }

    // Bounding rectangles of the moving pixels on the left and right side in the
    // coordinates of `frame` (empty when nothing moved there).
    const cv::Rect& leftBox() const { return leftBox_; }
    const cv::Rect& rightBox() const { return rightBox_; }
    const cv::Mat& mask() const { return mask_; }

  private:
    cv::Mat grey_, small_, previous_, diff_, absDiff_, mask_;
    cv::Rect leftBox_, rightBox_;
};

} // namespace zorvexa::robust
