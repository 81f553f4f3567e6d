#include "tools/render/Scene.h"

#include <algorithm>
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

Scene::Scene(cv::Size size, std::uint64_t seed, const SceneLook& look)
    : size_(size), seed_(seed), look_(look) {
    cv::RNG rng(seed);
    const int w = size.width;
    const int h = size.height;
    background_.create(size, CV_8UC3);

    // The wall (blue-grey unless told otherwise), lit from the upper left.
    const cv::Mat texture = wallTexture(size, rng);
    const cv::Scalar& wall = look.wall;
    for (int y = 0; y < h; ++y) {
        auto* row = background_.ptr<cv::Vec3b>(y);
        const float* tex = texture.ptr<float>(y);
        for (int x = 0; x < w; ++x) {
            const double light = 1.0 - 0.18 * x / w - 0.12 * y / h;
            const double t = look.texture * tex[x];
            row[x] = cv::Vec3b(cv::saturate_cast<uchar>(wall[0] * light + t),
                               cv::saturate_cast<uchar>(wall[1] * light + t),
                               cv::saturate_cast<uchar>(wall[2] * light + t));
        }
    }

    const double u = h / 240.0;
    if (look.pattern == WallPattern::Stripes) {
        const int period = std::max(4, cvRound(rng.uniform(14.0, 30.0) * u));
        for (int x = rng.uniform(0, period); x < w; x += period)
            cv::rectangle(background_, cv::Rect(x, 0, period / 3, h), wall * 0.82, cv::FILLED);
    } else if (look.pattern == WallPattern::Bookshelf) {
        const bool left = rng.uniform(0, 2) == 0;
        const int shelfW = cvRound(w * rng.uniform(0.22, 0.32));
        const int x0 = left ? 0 : w - shelfW;
        cv::rectangle(background_, cv::Rect(x0, 0, shelfW, h), cv::Scalar(40, 60, 90), cv::FILLED);
        for (int y = cvRound(20 * u); y < h; y += cvRound(52 * u)) {
            int x = x0 + 2;
            while (x < x0 + shelfW - 3) {
                const int bw = std::max(2, cvRound(rng.uniform(4.0, 10.0) * u));
                const int bh = cvRound(rng.uniform(30.0, 44.0) * u);
                const cv::Scalar colour(rng.uniform(30, 220), rng.uniform(30, 220),
                                        rng.uniform(30, 220));
                cv::rectangle(background_, cv::Rect(x, y + cvRound(46 * u) - bh, bw, bh), colour,
                              cv::FILLED);
                x += bw + 1;
            }
            cv::rectangle(background_, cv::Rect(x0, y + cvRound(46 * u), shelfW, cvRound(5 * u)),
                          cv::Scalar(60, 90, 130), cv::FILLED);
        }
    }
    if (!look.fixtures)
        return;

    // A door frame on the right, a picture on the left wall and a skirting of shelf.
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
    const double gain =
        (1.0 + look_.flicker * std::sin(frame * 0.21) + rng.uniform(-0.004, 0.004)) *
        lightAt(frame);
    cv::Mat noise(picture.size(), CV_16SC3);
    rng.fill(noise, cv::RNG::NORMAL, 0.0, look_.noise);
    cv::Mat lit;
    picture.convertTo(lit, CV_16SC3, gain);
    lit += noise;
    lit.convertTo(picture, CV_8UC3);
}

double Scene::lightAt(int frame) const {
    if (look_.drift == 0.0 && look_.switchFrame < 0)
        return 1.0;
    double light = 1.0 + look_.drift * std::sin(2.0 * 3.14159265358979323846 * frame /
                                                    std::max(1.0, look_.driftPeriod) +
                                                look_.driftPhase);
    if (look_.switchFrame >= 0 && frame >= look_.switchFrame) {
        // Up within three frames, then the exposure takes back a third over a second.
        const int since = frame - look_.switchFrame;
        const double on = std::min(1.0, (since + 1) / 3.0);
        const double adapted = 1.0 - std::min(1.0, since / 30.0) / 3.0;
        light *= 1.0 + (look_.switchGain - 1.0) * on * adapted;
    }
    return light;
}

} // namespace zorvexa::render
