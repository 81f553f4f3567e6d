#include "tools/render/Footage.h"

#include <cmath>
#include <utility>

#include <opencv2/imgproc.hpp>

namespace zorvexa::render {

namespace {

// Sub-frames blended into one frame, spread over half a frame interval.
constexpr int kExposureSteps = 3;
constexpr double kExposure = 0.5;

} // namespace

Footage::Footage(Timeline timeline, cv::Size size, const Placement& at, std::uint64_t seed,
                 Filming filming)
    : timeline_(std::move(timeline)), at_(at), filming_(std::move(filming)),
      scene_(size, seed, filming_.scene) {}

Pose Footage::poseAt(double frame) const {
    Pose p = timeline_.poseAt(frame);
    if (filming_.sway != 0.0) {
        const double phase =
            2.0 * 3.14159265358979323846 * frame / filming_.swayPeriod + filming_.swayPhase;
        p.shiftX += filming_.sway * std::sin(phase);
        p.headTilt += 40.0 * filming_.sway * std::sin(phase - 0.6);
    }
    return p;
}

cv::Mat Footage::frame(int index) const {
    const cv::Mat& background = scene_.background();
    cv::Mat sum(background.size(), CV_32FC3, cv::Scalar::all(0));
    cv::Mat one;
    for (int k = 0; k < kExposureSteps; ++k) {
        const double t = index - kExposure * k / kExposureSteps;
        background.copyTo(one);
        if (filming_.behind)
            filming_.behind(one, t);
        drawFigure(one, poseAt(t), at_, filming_.clothes, filming_.build);
        cv::accumulate(one, sum);
    }
    cv::Mat picture;
    sum.convertTo(picture, CV_8UC3, 1.0 / kExposureSteps);
    scene_.applyCamera(picture, index);
    if (filming_.mirrored)
        cv::flip(picture, picture, 1);
    return picture;
}

Placement webcamPlacement(cv::Size size) {
    const double u = size.height / 240.0;
    return Placement{{size.width / 2.0, 130.0 * u}, 124.0 * u};
}

Placement guidePlacement(cv::Size size) {
    const double u = size.height / 240.0;
    return Placement{{size.width / 2.0, 178.0 * u}, 92.0 * u};
}

} // namespace zorvexa::render
