#include "tools/render/Footage.h"

#include <utility>

#include <opencv2/imgproc.hpp>

namespace zorvexa::render {

namespace {

// Sub-frames blended into one frame, spread over half a frame interval.
constexpr int kExposureSteps = 3;
constexpr double kExposure = 0.5;

} // namespace

Footage::Footage(Timeline timeline, cv::Size size, const Placement& at, std::uint64_t seed)
    : timeline_(std::move(timeline)), at_(at), scene_(size, seed) {}

cv::Mat Footage::frame(int index) const {
    const cv::Mat& background = scene_.background();
    cv::Mat sum(background.size(), CV_32FC3, cv::Scalar::all(0));
    cv::Mat one;
    for (int k = 0; k < kExposureSteps; ++k) {
        background.copyTo(one);
        drawFigure(one, timeline_.poseAt(index - kExposure * k / kExposureSteps), at_);
        cv::accumulate(one, sum);
    }
    cv::Mat picture;
    sum.convertTo(picture, CV_8UC3, 1.0 / kExposureSteps);
    scene_.applyCamera(picture, index);
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
