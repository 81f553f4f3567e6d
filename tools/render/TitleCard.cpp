#include "tools/render/TitleCard.h"

#include <algorithm>
#include <cmath>

#include <opencv2/imgproc.hpp>

#include "tools/render/Figure.h"
#include "tools/render/Pose.h"

namespace zorvexa::render {

namespace {

constexpr int kFont = cv::FONT_HERSHEY_DUPLEX;

// Largest scale at which `text` fits into `width` pixels, at most `maxScale`.
double fittingScale(const std::string& text, int width, double maxScale, int thickness) {
    int baseline = 0;
    const cv::Size s = cv::getTextSize(text, kFont, 1.0, thickness, &baseline);
    return s.width > 0 ? std::min(maxScale, width / static_cast<double>(s.width)) : maxScale;
}

void centredText(cv::Mat& img, const std::string& text, int y, double scale, int thickness,
                 const cv::Scalar& colour) {
    int baseline = 0;
    const cv::Size s = cv::getTextSize(text, kFont, scale, thickness, &baseline);
    const cv::Point at((img.cols - s.width) / 2, y);
    cv::putText(img, text, at + cv::Point(2, 2), kFont, scale, cv::Scalar::all(0), thickness + 1,
                cv::LINE_AA);
    cv::putText(img, text, at, kFont, scale, colour, thickness, cv::LINE_AA);
}

void drawGround(cv::Mat& img, const TitleCard& card, double phase) {
    for (int y = 0; y < img.rows; ++y) {
        const double shade = 0.75 + 0.35 * y / img.rows;
        img.row(y).setTo(card.ground * shade);
    }
    // A slow diagonal band of light.
    cv::Mat glow = cv::Mat::zeros(img.size(), img.type());
    const int x = static_cast<int>((phase * 1.6 - 0.3) * img.cols);
    cv::line(glow, cv::Point(x, img.rows + 10), cv::Point(x + img.cols / 2, -10),
             cv::Scalar::all(40), img.cols / 5, cv::LINE_AA);
    cv::GaussianBlur(glow, glow, cv::Size(0, 0), img.cols / 12.0);
    img += glow;
}

void drawExercising(cv::Mat& img, cv::Point2d shoulders, double scale, int index) {
    // Arms swing between the sides and overhead, two strokes a second at ten frames a
    // second.
    const double t = 0.5 - 0.5 * std::cos(index * 3.14159265358979323846 / 5.0);
    const Pose p = blend(restPose(), overheadPose(), t);
    drawFigure(img, p, Placement{shoulders, scale});
}

void drawMissingCamera(cv::Mat& img, cv::Point centre, int r, int index) {
    const cv::Scalar body(200, 200, 205);
    cv::rectangle(img, centre + cv::Point(-r, -r * 2 / 3), centre + cv::Point(r, r * 2 / 3), body,
                  cv::FILLED, cv::LINE_AA);
    cv::circle(img, centre, r / 2, cv::Scalar(60, 60, 60), cv::FILLED, cv::LINE_AA);
    cv::circle(img, centre, r / 4, cv::Scalar(120, 90, 60), cv::FILLED, cv::LINE_AA);
    cv::rectangle(img, centre + cv::Point(-r / 3, r * 2 / 3), centre + cv::Point(r / 3, r), body,
                  cv::FILLED, cv::LINE_AA);
    // The cross blinks gently.
    const double on = 0.65 + 0.35 * std::cos(index * 0.6);
    const cv::Scalar red = cv::Scalar(40, 40, 230) * on;
    const int t = std::max(3, r / 5);
    cv::line(img, centre + cv::Point(-r, -r), centre + cv::Point(r, r), red, t, cv::LINE_AA);
    cv::line(img, centre + cv::Point(-r, r), centre + cv::Point(r, -r), red, t, cv::LINE_AA);
}

} // namespace

cv::Mat drawTitleCard(const TitleCard& card, cv::Size size, int index, int frames) {
    cv::Mat img(size, CV_8UC3);
    const double phase = frames > 1 ? static_cast<double>(index) / (frames - 1) : 1.0;
    drawGround(img, card, phase);

    const double u = size.height / 240.0;
    const bool withPicture = card.picture != CardPicture::None;
    if (card.picture == CardPicture::Exercising)
        drawExercising(img, cv::Point2d(size.width / 2.0, size.height * 0.78), 42.0 * u, index);
    else if (card.picture == CardPicture::CameraMissing)
        drawMissingCamera(img, cv::Point(size.width / 2, cvRound(size.height * 0.72)),
                          cvRound(30 * u), index);

    // Lines type themselves in during the first half of the card, one after the other.
    size_t total = 0;
    for (const auto& line : card.lines)
        total += line.size();
    const double typed = std::min(1.0, phase * 2.2) * static_cast<double>(total);
    size_t shown = static_cast<size_t>(typed + 0.5);

    const int margin = cvRound(14 * u);
    int y = withPicture ? cvRound(size.height * 0.22) : cvRound(size.height * 0.42);
    for (size_t i = 0; i < card.lines.size(); ++i) {
        const std::string& line = card.lines[i];
        const bool title = i == 0;
        const int thickness = title ? std::max(1, cvRound(2 * u)) : 1;
        const double scale =
            fittingScale(line, size.width - 2 * margin, (title ? 1.1 : 0.65) * u, thickness);
        const std::string part = line.substr(0, std::min(shown, line.size()));
        shown -= part.size();
        centredText(img, part, y, scale, thickness, title ? card.accent : cv::Scalar::all(235));
        y += cvRound((title ? 36 : 26) * u);
    }
    return img;
}

} // namespace zorvexa::render
