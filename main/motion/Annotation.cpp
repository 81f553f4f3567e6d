#include "main/motion/Annotation.h"

#include <algorithm>

#include <opencv2/imgproc.hpp>

#include "main/motion/PaintedRuns.h"

namespace zorvexa {
namespace {

const cv::Scalar kRed(0, 0, 255);
const cv::Scalar kYellow(0, 255, 255);
const cv::Scalar kBlue(255, 0, 0);
const cv::Scalar kCaptionBackground(214, 171, 92);

constexpr int kCaptionBand = 76;
constexpr int kArrowThickness = 16;

} // namespace

int captionLinesShown(int frameNumber) {
    return frameNumber > 10 ? 3 : frameNumber > 5 ? 2 : 1;
}

namespace {

int captionTop(const cv::Size& size, bool atBottom) {
    return atBottom ? size.height - kCaptionBand : 0;
}

} // namespace

std::vector<CaptionText> captionTexts(const std::vector<std::string>& lines, int frameNumber,
                                      const cv::Size& size, bool atBottom, double fontScale) {
    const int top = captionTop(size, atBottom);
    const size_t shown =
        std::min(lines.size(), static_cast<size_t>(captionLinesShown(frameNumber)));
    std::vector<CaptionText> texts;
    for (size_t k = 0; k < shown; ++k)
        texts.push_back({lines[k], cv::Point(10, top + 24 + 20 * static_cast<int>(k)),
                         k == 0 ? cv::FONT_HERSHEY_COMPLEX_SMALL | cv::FONT_ITALIC
                                : cv::FONT_HERSHEY_COMPLEX_SMALL,
                         fontScale, k == 0 ? kRed : kYellow});
    return texts;
}

void putCaptionText(cv::Mat& image, const CaptionText& t) {
    cv::putText(image, t.text, t.origin, t.face, t.scale, t.colour, 1, cv::LINE_AA);
}

void drawCaptions(const std::vector<std::string>& lines, int frameNumber, cv::Mat& image,
                  bool atBottom, bool background, double fontScale) {
    if (image.empty())
        return;
    const int top = captionTop(image.size(), atBottom);
    if (background)
        cv::rectangle(image, cv::Point(0, top), cv::Point(image.cols - 2, top + kCaptionBand),
                      kCaptionBackground, cv::FILLED, cv::LINE_8);
    for (const CaptionText& t : captionTexts(lines, frameNumber, image.size(), atBottom, fontScale))
        putCaptionText(image, t);
}

void markCaptionText(cv::Mat& mask, CaptionText text) {
    text.colour = cv::Scalar(255);
    putCaptionText(mask, text);
}

cv::Rect captionBackground(const cv::Size& size, bool atBottom) {
    const int top = captionTop(size, atBottom);
    return cv::Rect(0, top, size.width - 1, kCaptionBand + 1) & cv::Rect(cv::Point(0, 0), size);
}

cv::Mat captionFootprint(const std::vector<std::string>& lines, int frameNumber,
                         const cv::Size& size, bool atBottom, double fontScale) {
    cv::Mat mask(size, CV_8UC1, cv::Scalar(0));
    for (const CaptionText& t : captionTexts(lines, frameNumber, size, atBottom, fontScale))
        markCaptionText(mask, t);
    return mask;
}

void paintGestureArrow(cv::Mat& image, MotionDir direction, const cv::Scalar& ring,
                       const cv::Scalar& arms) {
    if (image.empty())
        return;
    const int cx = image.cols / 2;
    const int cy = image.rows / 2;
    const int r = image.rows / 4;
    const int left = cx - r;
    const int right = cx + r;
    const int top = cy - r;
    const int bottom = cy + r;

    cv::circle(image, cv::Point(cx, cy), r, ring, 1, cv::LINE_8);

    const auto line = [&](cv::Point from, cv::Point to) {
        cv::line(image, from, to, arms, kArrowThickness, cv::LINE_8);
    };
    const cv::Point west(left, cy);
    const cv::Point east(right, cy);
    const cv::Point north(cx, top);
    const cv::Point south(cx, bottom);
    switch (direction) {
    case kDirUp:
        line(west, north);
        line(east, north);
        break;
    case kDirUpRight:
        line(south, north);
        line(east, north);
        break;
    case kDirUpLeft:
        line(west, north);
        line(south, north);
        break;
    case kDirDown:
        line(west, south);
        line(east, south);
        break;
    case kDirDownRight:
        line(north, south);
        line(east, south);
        break;
    case kDirDownLeft:
        line(west, south);
        line(north, south);
        break;
    case kDirRightToLeft:
        line(west, north);
        line(west, south);
        break;
    case kDirLeftToRight:
        line(east, north);
        line(east, south);
        break;
    case kDirToCenter:
        line(cv::Point(left, top), cv::Point(cx - 10, cy));
        line(cv::Point(left, bottom), cv::Point(cx - 10, cy));
        line(cv::Point(right, top), cv::Point(cx + 10, cy));
        line(cv::Point(right, bottom), cv::Point(cx + 10, cy));
        break;
    default:
        break;
    }
}

namespace {

// The pixels the arrow of one direction covers at one image size, found once by drawing it
// into a mask: its lines and circle are solid and not anti-aliased, so which pixels they
// cover does not depend on what is under them, and writing the colours into just those
// pixels gives the very picture the drawing gives, for a fraction of its cost (the thick
// lines are filled polygons with round ends, drawn again on every frame an arrow shows).
struct ArrowStencil {
    int direction = 0;
    cv::Size size;
    std::vector<PixelRun> ring; // circle pixels the arms leave uncovered
    std::vector<PixelRun> arms;
};

const ArrowStencil& arrowStencil(MotionDir direction, const cv::Size& size) {
    // One list per thread: the frame loop and the playback threads each keep their own.
    thread_local std::vector<ArrowStencil> stencils;
    for (const ArrowStencil& s : stencils)
        if (s.direction == direction && s.size == size)
            return s;
    cv::Mat mask(size, CV_8UC1, cv::Scalar(0));
    paintGestureArrow(mask, direction, cv::Scalar(1), cv::Scalar(2));
    ArrowStencil s;
    s.direction = direction;
    s.size = size;
    s.ring = runsOf(mask, 1);
    s.arms = runsOf(mask, 2);
    if (stencils.size() >= 32) // sizes change only with the picture's size
        stencils.clear();
    stencils.push_back(std::move(s));
    return stencils.back();
}

} // namespace

void drawGestureArrow(cv::Mat& image, MotionDir direction, bool hasAction) {
    if (image.empty())
        return;
    const cv::Scalar& colour = hasAction ? kRed : kYellow;
    if (image.type() != CV_8UC3) {
        paintGestureArrow(image, direction, kBlue, colour);
        return;
    }
    const ArrowStencil& stencil = arrowStencil(direction, image.size());
    paintRuns(image, stencil.ring, kBlue);
    paintRuns(image, stencil.arms, colour);
}

} // namespace zorvexa
