#include "main/motion/robust/MotionEnergy.h"

#include <algorithm>
#include <array>
#include <cmath>

#include <opencv2/imgproc.hpp>

namespace zorvexa::robust {

namespace {

constexpr double kGlobalChangeShare = 0.35;
constexpr int kMinThreshold = 10;
constexpr int kMaxThreshold = 40;

// The median of an 8-bit image, from its histogram.
int medianOf(const cv::Mat& image) {
    std::array<int, 256> histogram{};
    for (int r = 0; r < image.rows; ++r) {
        const uchar* p = image.ptr<uchar>(r);
        for (int c = 0; c < image.cols; ++c)
            ++histogram[p[c]];
    }
    const int half = static_cast<int>(image.total() / 2);
    int seen = 0;
    for (int v = 0; v < 256; ++v) {
        seen += histogram[static_cast<size_t>(v)];
        if (seen > half)
            return v;
    }
    return 255;
}

SideMotion sideOf(const cv::Mat& mask, const cv::Rect& part, cv::Rect& box, double scaleX,
                  double scaleY) {
    SideMotion s;
    box = cv::Rect();
    if (part.width <= 0)
        return s;
    const cv::Mat roi = mask(part);
    const cv::Moments m = cv::moments(roi, true);
    if (m.m00 <= 0)
        return s;
    s.mass = m.m00 / static_cast<double>(mask.total());
    s.x = (part.x + m.m10 / m.m00 + 0.5) / mask.cols;
    s.y = (m.m01 / m.m00 + 0.5) / mask.rows;
    const cv::Rect b = cv::boundingRect(roi);
    s.reach = (part.x == 0 ? b.x : part.x + b.x + b.width) / static_cast<double>(mask.cols);
    s.top = static_cast<double>(b.y) / mask.rows;
    box = cv::Rect(static_cast<int>((b.x + part.x) * scaleX), static_cast<int>(b.y * scaleY),
                   static_cast<int>(std::ceil(b.width * scaleX)),
                   static_cast<int>(std::ceil(b.height * scaleY)));
    return s;
}

} // namespace

FrameMotion MotionEnergy::measure(const cv::Mat& frame, double centre) {
    FrameMotion motion;
    leftBox_ = rightBox_ = cv::Rect();
    if (frame.channels() == 3)
        cv::cvtColor(frame, grey_, cv::COLOR_BGR2GRAY);
    else
        frame.copyTo(grey_);
    cv::resize(grey_, small_, cv::Size(kWidth, kHeight), 0, 0, cv::INTER_AREA);
    if (previous_.empty()) {
        small_.copyTo(previous_);
        return motion;
    }
    cv::subtract(small_, previous_, diff_, cv::noArray(), CV_16S);
    std::swap(small_, previous_);
    // Take out the change every pixel shares (exposure, a lamp), then keep what stands
    // out of the sensor noise.
    const double shared = cv::mean(diff_)[0];
    cv::absdiff(diff_, cv::Scalar::all(shared), diff_);
    diff_.convertTo(absDiff_, CV_8U);
    const int noise = medianOf(absDiff_);
    const int threshold =
        std::clamp(static_cast<int>(std::lround(4 * 1.4826 * noise)), kMinThreshold, kMaxThreshold);
    cv::threshold(absDiff_, mask_, threshold, 255, cv::THRESH_BINARY);
    const int moving = cv::countNonZero(mask_);
    if (moving > kGlobalChangeShare * static_cast<double>(mask_.total())) {
        motion.globalChange = true;
        return motion;
    }
    const int split = std::clamp(static_cast<int>(std::lround(centre * kWidth)), 1, kWidth - 1);
    const double sx = static_cast<double>(frame.cols) / kWidth;
    const double sy = static_cast<double>(frame.rows) / kHeight;
    motion.left = sideOf(mask_, cv::Rect(0, 0, split, kHeight), leftBox_, sx, sy);
    motion.right = sideOf(mask_, cv::Rect(split, 0, kWidth - split, kHeight), rightBox_, sx, sy);
    return motion;
}

} // namespace zorvexa::robust
