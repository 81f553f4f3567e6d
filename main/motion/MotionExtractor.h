// Turns each 160 x 120 colour frame into at most two significant motion segments,
// each with its bounding rectangle and direction angle: a Gaussian-mixture background
// subtractor feeds a motion history image, which is segmented into motion components.
// Timestamps are frame numbers.
#pragma once

#include <vector>

#include <opencv2/core.hpp>

#include "main/motion/MixtureBackground.h"
#include "main/motion/MotionSegment.h"
#include "main/motion/MotionSegmenter.h"
#include "main/motion/RectMorphology.h"

namespace zorvexa {

class MotionExtractor {
  public:
    static constexpr int kFrameWidth = 160;
    static constexpr int kFrameHeight = 120;

    MotionExtractor();

    // Analyses one frame and returns how many segments it qualifies for (0, 1 or 2).
    // The frame must be 160 x 120 with 3 channels of 8 bits; anything else is rejected
    // with std::invalid_argument before any state changes.
    int extract(const cv::Mat& frame, int timestamp);

    // The significant segments of the latest extract call, largest first.
    std::vector<MotionSegment> significantSegments() const { return significant_; }
    // The same list without a copy, for the per-frame path.
    const std::vector<MotionSegment>& segments() const { return significant_; }

    // The next frame only arms the extractor again.
    void restart() { firstFrame_ = true; }
    // Forgets everything seen so far (background model, motion history), as for a new
    // run whose timestamps start again from 1.
    void reset();

    // Working images, exposed read-only for diagnostics and tests.
    const cv::Mat& silhouette() const { return silhouette_; }
    const std::vector<cv::Rect>& segmentRects() const { return segmentRects_; }

  private:
    MixtureBackground background_; // 2 frames of history, 8 mixtures, background ratio 0.3
    cv::Mat silhouette_;
    cv::Mat motionHistory_;
    cv::Mat gradientMask_;
    cv::Mat orientation_;
    cv::Mat silhouetteRegion_;
    cv::Mat orientationRegion_;
    cv::Mat gradientMaskRegion_;
    cv::Mat historyRegion_;
    std::vector<cv::Rect> segmentRects_;
    std::vector<MotionSegment> significant_;
    bool firstFrame_ = true;
    RectMorphology morphology_;
    MotionSegmenter segmenter_;
};

} // namespace zorvexa
