#include "main/motion/MotionExtractor.h"

#include <stdexcept>
#include <string>

#include <opencv2/imgproc.hpp>
#include <opencv2/optflow/motempl.hpp>

#include "common/StageTiming.h"

namespace zorvexa {

namespace {

constexpr double kLearningRate = 0.1;
constexpr double kHistoryDuration = 7.0;
constexpr double kMinTimeDelta = 0.1;
constexpr double kMaxTimeDelta = 390.0;
constexpr int kGradientAperture = 3;
constexpr double kSegmentThreshold = 7.0;
constexpr int kMinLargestArea = 2500;
constexpr int kMaxPairWidth = 112;

int areaOf(const cv::Rect& r) {
    return r.width * r.height;
}

// Stable sort by area, largest first. Insertion sort: the list is short and, unlike
// std::stable_sort, it needs no scratch buffer on the per-frame path.
void sortByAreaDescending(std::vector<cv::Rect>& rects) {
    for (size_t i = 1; i < rects.size(); ++i) {
        const cv::Rect r = rects[i];
        size_t j = i;
        while (j > 0 && areaOf(rects[j - 1]) < areaOf(r)) {
            rects[j] = rects[j - 1];
            --j;
        }
        rects[j] = r;
    }
}

} // namespace

MotionExtractor::MotionExtractor()
    : silhouette_(kFrameHeight, kFrameWidth, CV_8UC1, cv::Scalar(0)),
      motionHistory_(kFrameHeight, kFrameWidth, CV_32FC1, cv::Scalar(0)),
      gradientMask_(kFrameHeight, kFrameWidth, CV_8UC1, cv::Scalar(0)),
      orientation_(kFrameHeight, kFrameWidth, CV_32FC1, cv::Scalar(0)) {
    segmentRects_.reserve(64);
    significant_.reserve(2);
}

void MotionExtractor::reset() {
    background_.reset();
    for (cv::Mat* m : {&silhouette_, &motionHistory_, &gradientMask_, &orientation_})
        m->setTo(cv::Scalar(0));
    segmentRects_.clear();
    significant_.clear();
    firstFrame_ = true;
}

int MotionExtractor::extract(const cv::Mat& frame, int timestamp) {
    timing::Scope timed(timing::Stage::Extract);
    if (frame.cols != kFrameWidth || frame.rows != kFrameHeight || frame.type() != CV_8UC3) {
        throw std::invalid_argument("motion analysis needs 160x120 colour frames, got " +
                                    std::to_string(frame.cols) + "x" + std::to_string(frame.rows) +
                                    " with " + std::to_string(frame.channels()) + " channel(s)");
    }
    if (firstFrame_) {
        firstFrame_ = false;
        return 0;
    }
    significant_.clear();

    const double now = static_cast<double>(timestamp);
    // The model's mask is 0 or 255 already: thresholds at 70 and then 32 would leave it
    // as it is, so it is the silhouette.
    background_.apply(frame, silhouette_, kLearningRate);
    // Closed, then opened, with the 4 x 4 element: outside the picture nothing counts for
    // the closing, and the opening's erosion counts it as empty.
    morphology_.apply(silhouette_, silhouette_, RectMorph::Dilate, 0);
    morphology_.apply(silhouette_, silhouette_, RectMorph::Erode, 255);
    morphology_.apply(silhouette_, silhouette_, RectMorph::Erode, 0);
    morphology_.apply(silhouette_, silhouette_, RectMorph::Dilate, 0);
    cv::motempl::updateMotionHistory(silhouette_, motionHistory_, now, kHistoryDuration);
    segmenter_.segment(motionHistory_, now, kSegmentThreshold, segmentRects_);
    sortByAreaDescending(segmentRects_);

    int count = 0;
    if (!segmentRects_.empty() && areaOf(segmentRects_[0]) >= kMinLargestArea) {
        count = 1;
        if (segmentRects_.size() >= 2 && 3 * areaOf(segmentRects_[1]) > kMinLargestArea &&
            segmentRects_[0].width < kMaxPairWidth)
            count = 2;
    }

    for (int i = 0; i < count; ++i) {
        const cv::Rect& r = segmentRects_[static_cast<size_t>(i)];
        silhouetteRegion_ = silhouette_(r);
        orientationRegion_ = orientation_(r);
        gradientMaskRegion_ = gradientMask_(r);
        historyRegion_ = motionHistory_(r);
        if (!(cv::norm(silhouetteRegion_, cv::NORM_L2) > r.width * r.height * 0.5))
            continue;
        // The gradient only where it is used. Its filters are 3 x 3 and read the pixels
        // around a region from the whole history image, so the region's values are those
        // of the whole image's gradient.
        cv::motempl::calcMotionGradient(historyRegion_, gradientMaskRegion_, orientationRegion_,
                                        kMinTimeDelta, kMaxTimeDelta, kGradientAperture);
        const double angle = cv::motempl::calcGlobalOrientation(
            orientationRegion_, gradientMaskRegion_, historyRegion_, now, kHistoryDuration);
        significant_.push_back(MotionSegment{r.x, r.y, r.width, r.height, angle, now});
    }
    return count;
}

} // namespace zorvexa
