#include "main/motion/CaptionBand.h"

#include <opencv2/core.hpp>

#include "main/motion/Annotation.h"

namespace zorvexa {

void CaptionBand::draw(const std::vector<std::string>& lines, int frameNumber, cv::Mat& image,
                       bool atBottom, double fontScale) {
    if (image.type() != CV_8UC3 || image.empty()) {
        drawCaptions(lines, frameNumber, image, atBottom, true, fontScale);
        return;
    }
    const int shown = captionLinesShown(frameNumber);
    const cv::Rect box = captionBackground(image.size(), atBottom);
    for (const Drawn& d : drawn_) {
        if (d.shownLines != shown || d.atBottom != atBottom || d.fontScale != fontScale ||
            d.size != image.size() || d.lines != lines)
            continue;
        if (d.band.empty())
            drawCaptions(lines, frameNumber, image, atBottom, true, fontScale);
        else
            d.band.copyTo(image(box));
        return;
    }
    drawCaptions(lines, frameNumber, image, atBottom, true, fontScale);
    Drawn d{lines, shown, atBottom, fontScale, image.size(), {}};
    const cv::Mat footprint =
        captionFootprint(lines, frameNumber, image.size(), atBottom, fontScale);
    if (cv::countNonZero(footprint) == cv::countNonZero(footprint(box)))
        d.band = image(box).clone();
    if (drawn_.size() >= 16) // a caption seldom comes back once its clip is over
        drawn_.clear();
    drawn_.push_back(std::move(d));
}

} // namespace zorvexa
