#include "main/motion/robust/RobustRecognizer.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace zorvexa::robust {

namespace {

// How far one movement of both arms moves the centre line towards its own middle.
constexpr double kCentreLearning = 0.5;
constexpr double kPairShare = 0.25;
constexpr double kPairTravel = 0.15;
constexpr double kMinCentre = 0.25;
constexpr double kMaxCentre = 0.75;

// Direction of a side's motion in degrees, image coordinates (90 down, 270 up).
double angleOf(const SideMotion& now, const SideMotion& before) {
    if (now.mass <= 0 || before.mass <= 0)
        return 0;
    const double a = std::atan2(now.y - before.y, now.x - before.x) * 180.0 / M_PI;
    return a < 0 ? a + 360.0 : a;
}

} // namespace

void RobustRecognizer::reset() {
    energy_.reset();
    segmenter_.reset();
    segments_.clear();
    previous_ = FrameMotion{};
    pending_ = last_ = kDirNone;
}

int RobustRecognizer::observe(const cv::Mat& frame, int timestamp, int fps) {
    // The frame loops skip a frame they cannot use, as they do for the classic extractor.
    if (frame.empty() || (frame.type() != CV_8UC3 && frame.type() != CV_8UC1))
        throw std::invalid_argument("the robust recognizer takes 8-bit colour or grey frames");
    const FrameMotion motion = energy_.measure(frame, centre_);
    const int measured = segmenter_.strokesMeasured();
    pending_ = segmenter_.step(motion, fps, centre_);
    if (measured != segmenter_.strokesMeasured()) {
        // Both arms raised or lowered together, stroke or not, reach out equally far on
        // either side of the body: the middle between their reaches is the centre line.
        const StrokeShape& s = segmenter_.lastShape();
        const double total = s.leftMass + s.rightMass;
        const bool together =
            total > 0 && std::min(s.leftMass, s.rightMass) >= kPairShare * total &&
            std::abs(s.leftDy) >= kPairTravel && std::abs(s.rightDy) >= kPairTravel &&
            (s.leftDy > 0) == (s.rightDy > 0);
        if (together) {
            const double middle = (s.leftReach + s.rightReach) / 2;
            centre_ =
                std::clamp(centre_ + kCentreLearning * (middle - centre_), kMinCentre, kMaxCentre);
        }
    }
    segments_.clear();
    for (int side = 0; side < 2; ++side) {
        const cv::Rect& box = side == 0 ? energy_.leftBox() : energy_.rightBox();
        if (box.area() <= 0)
            continue;
        MotionSegment seg;
        seg.x = box.x;
        seg.y = box.y;
        seg.width = box.width;
        seg.height = box.height;
        seg.angle = side == 0 ? angleOf(motion.left, previous_.left)
                              : angleOf(motion.right, previous_.right);
        seg.timestamp = timestamp;
        segments_.push_back(seg);
    }
    std::sort(segments_.begin(), segments_.end(),
              [](const MotionSegment& a, const MotionSegment& b) {
                  return a.width * a.height > b.width * b.height;
              });
    previous_ = motion;
    return static_cast<int>(segments_.size());
}

} // namespace zorvexa::robust
