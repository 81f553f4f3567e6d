// Splits a motion history image into its motion segments: each segment grows from a pixel
// that moved in the latest frame (a history value equal to the timestamp) over 4-connected
// neighbours whose history values differ by at most the threshold, never into pixels that
// have no history (0) or that an earlier segment took. Seeds are taken row by row, so the
// segments come in the order OpenCV's segmentMotion lists them, with the same bounding
// rectangles. Only the rectangles are made: OpenCV's version also paints a float image of
// segment numbers and sets up a bordered mask on every call, which the extraction never
// reads.
#pragma once

#include <cstdint>
#include <vector>

#include <opencv2/core.hpp>

namespace zorvexa {

class MotionSegmenter {
  public:
    // history is a one-channel float image; the rectangles replace those in `rects`.
    void segment(const cv::Mat& history, double timestamp, double threshold,
                 std::vector<cv::Rect>& rects);

  private:
    std::vector<std::uint8_t> taken_; // per pixel: already in a segment
    std::vector<int> pending_;        // pixel indices still to grow from
};

} // namespace zorvexa
