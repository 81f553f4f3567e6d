// An opaque drawing (no anti-aliasing) made on picture after picture of one size, such as
// the guide pane's frame or the gesture arrow: the pixels it paints are found once, by
// drawing it on a mask, and from then on painted as runs along the rows. Thick lines cost
// OpenCV a polygon fill each time; the runs give the same pixels for a few thousand byte
// writes.
#pragma once

#include <functional>
#include <vector>

#include <opencv2/core.hpp>

namespace zorvexa {

// Columns [from, to) of one row.
struct PixelRun {
    int row, from, to;
};

// The runs of the pixels of an 8-bit, one-channel `mask` that equal `label`.
std::vector<PixelRun> runsOf(const cv::Mat& mask, uchar label);

// Writes `colour` into the pixels of `runs` of an 8-bit, 3-channel `image`.
void paintRuns(cv::Mat& image, const std::vector<PixelRun>& runs, const cv::Scalar& colour);

class PaintedRuns {
  public:
    // `draw` paints the shape onto the picture it is given in the colour it is given, and
    // paints the same pixels whatever the picture's channels.
    using Draw = std::function<void(cv::Mat& image, const cv::Scalar& colour)>;
    explicit PaintedRuns(Draw draw) : draw_(std::move(draw)) {}

    // The drawing on `image` in `colour`: from the runs for an 8-bit, 3-channel picture
    // (found again when the size changes), by `draw` for any other.
    void paint(cv::Mat& image, const cv::Scalar& colour);

  private:
    Draw draw_;
    cv::Size size_;
    std::vector<PixelRun> runs_;
};

} // namespace zorvexa
