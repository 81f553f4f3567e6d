#include "tools/render/Scene.h"

#include <cmath>
#include <vector>

#include <opencv2/imgproc.hpp>

namespace zorvexa::render {

namespace {

// Soft blotches of a plastered wall: coarse random values, blurred and scaled up.
cv::Mat wallTexture(cv::Size size, cv::RNG& rng) {
    cv::Mat coarse(size.height / 8 + 2, size.width / 8 + 2, CV_32FC1);
    rng.fill(coarse, cv::RNG::NORMAL, 0.0, 1.0);
    cv::Mat smooth;
    cv::resize(coarse, smooth, size, 0, 0, cv::INTER_CUBIC);
    cv::Mat fine(size, CV_32FC1);
    rng.fill(fine, cv::RNG::NORMAL, 0.0, 0.35);
    cv::GaussianBlur(fine, fine, cv::Size(3, 3), 0.8);
    return smooth + fine;
}

} // namespace

Scene::Scene(cv::Size size, std::uint64_t seed) : size_(size), seed_(seed) {
    cv::RNG rng(seed);
    const int w = size.width;
    const int h = size.height;
    background_.create(size, CV_8UC3);

    // Blue-grey wall, lit from the upper left.
    const cv::Mat texture = wallTexture(size, rng);
    for (int y = 0; y < h; ++y) {
        auto* row = background_.ptr<cv::Vec3b>(y);
        const float* tex = texture.ptr<float>(y);
        for (int x = 0; x < w; ++x) {
            const double light = 1.0 - 0.18 * x / w - 0.12 * y / h;
            const double t = 5.0 * tex[x];
            row[x] = cv::Vec3b(cv::saturate_cast<uchar>(168 * light + t),
                               cv::saturate_cast<uchar>(150 * light + t),
                               cv::saturate_cast<uchar>(128 * light + t));
        }
    }

    // A door frame on the right, a picture on the left wall and a skirting of shelf.
    const double u = h / 240.0;
    const auto pt = [u](double x, double y) { return cv::Point(cvRound(x * u), cvRound(y * u)); };
    const int doorX = w - cvRound(46 * u);
    cv::rectangle(background_, cv::Point(doorX, cvRound(18 * u)), cv::Point(w + 4, h + 4),
                  cv::Scalar(120, 132, 146), cvRound(7 * u), cv::LINE_AA);
    cv::rectangle(background_, cv::Point(doorX + cvRound(5 * u), cvRound(23 * u)),
                  cv::Point(w + 4, h + 4), cv::Scalar(150, 170, 186), cv::FILLED, cv::LINE_AA);
    cv::rectangle(background_, pt(10, 30), pt(52, 76), cv::Scalar(70, 90, 110), cv::FILLED,
                  cv::LINE_AA);
    cv::rectangle(background_, pt(14, 34), pt(48, 72), cv::Scalar(150, 120, 80), cv::FILLED,
                  cv::LINE_AA);
    cv::circle(background_, pt(38, 45), cvRound(6 * u), cv::Scalar(120, 210, 235), cv::FILLED,
               cv::LINE_AA);
    cv::fillConvexPoly(
        background_,
        std::vector<cv::Point>{pt(14, 72), pt(28, 54), pt(40, 66), pt(48, 58), pt(48, 72)},
        cv::Scalar(90, 130, 80), cv::LINE_AA);
    cv::line(background_, pt(0, 150), pt(30, 150), cv::Scalar(95, 105, 118), cvRound(4 * u),
             cv::LINE_AA);
}

void Scene::applyCamera(cv::Mat& picture, int frame) const {
    cv::RNG rng(seed_ * 7919u + static_cast<std::uint64_t>(frame) * 104729u + 1u);
    // Mains-like shimmer of the room light: slow and gentle, as a camera's auto exposure
    // leaves it.
    const double gain = 1.0 + 0.010 * std::sin(frame * 0.21) + rng.uniform(-0.004, 0.004);
    cv::Mat noise(picture.size(), CV_16SC3);
    rng.fill(noise, cv::RNG::NORMAL, 0.0, 2.2);
    cv::Mat lit;
    picture.convertTo(lit, CV_16SC3, gain);
    lit += noise;
    lit.convertTo(picture, CV_8UC3);
}

} // namespace zorvexa::render
