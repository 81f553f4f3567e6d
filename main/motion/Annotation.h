// Feedback drawn onto video images: caption lines that appear one after another, and the
// gesture arrow (a circle with an arrow glyph for a direction). Both draw in place and
// keep no state (beyond the arrow's cached pixel lists). Colours are in OpenCV's blue,
// green, red order.
#pragma once

#include <string>
#include <vector>

#include <opencv2/core.hpp>

#include "main/motion/MotionDir.h"

namespace zorvexa {

// Up to three caption lines in a 76-pixel band at the top of the image, or at its bottom
// when `atBottom` is set, optionally on a filled background box. The first line (red,
// italic) always shows; the second joins when `frameNumber` is above 5, the third above
// 10 (yellow, upright). Lines the list does not have are not drawn.
void drawCaptions(const std::vector<std::string>& lines, int frameNumber, cv::Mat& image,
                  bool atBottom, bool background, double fontScale);
// How many caption lines drawCaptions shows at a frame (of those the list has).
int captionLinesShown(int frameNumber);

// One anti-aliased text drawing (thickness 1) of drawCaptions.
struct CaptionText {
    std::string text;
    cv::Point origin;
    int face = 0;
    double scale = 1;
    cv::Scalar colour;
    bool operator==(const CaptionText& o) const {
        return text == o.text && origin == o.origin && face == o.face && scale == o.scale &&
               colour == o.colour;
    }
    bool operator!=(const CaptionText& o) const { return !(*this == o); }
};
// The text drawings drawCaptions makes after its box, in the order it makes them.
std::vector<CaptionText> captionTexts(const std::vector<std::string>& lines, int frameNumber,
                                      const cv::Size& size, bool atBottom, double fontScale);
void putCaptionText(cv::Mat& image, const CaptionText& text);
// Marks on an 8-bit one-channel `mask` every pixel the text touches (it is drawn at full
// strength; anti-aliased text moves each pixel it touches by at least one step).
void markCaptionText(cv::Mat& mask, CaptionText text);
// The box drawCaptions fills when asked for a background, on an image of `size`.
cv::Rect captionBackground(const cv::Size& size, bool atBottom);
// The pixels drawCaptions' text touches on an image of `size` (255 in an 8-bit mask).
cv::Mat captionFootprint(const std::vector<std::string>& lines, int frameNumber,
                         const cv::Size& size, bool atBottom, double fontScale);

// A blue circle in the middle of the image with the arrow of `direction` in it: red when
// the active mode binds an action to the direction (`hasAction`), yellow when it does not.
// A code that is not a direction draws the circle alone.
void drawGestureArrow(cv::Mat& image, MotionDir direction, bool hasAction);

// The same arrow drawn with OpenCV's line and circle calls in the given colours, on an image
// of any type. drawGestureArrow writes the pixels this drawing covers.
void paintGestureArrow(cv::Mat& image, MotionDir direction, const cv::Scalar& ring,
                       const cv::Scalar& arms);

} // namespace zorvexa
