// Dilation and erosion of an 8-bit image by a 4 x 4 square anchored at (2, 2), the
// element the motion extraction closes and opens its silhouette with: each pixel becomes
// the largest (dilation) or smallest (erosion) value of the 4 x 4 block from two pixels
// above and to the left of it to one below and to the right. Pixels beyond the image count
// as `outside`. The results equal OpenCV's dilate and erode with that element and
// BORDER_CONSTANT (with the default border value, outside is 0 for a dilation and 255 for
// an erosion), for a fraction of their cost at 160 x 120: no filter engine is set up and
// no worker threads are woken on every call.
#pragma once

#include <vector>

#include <opencv2/core.hpp>

namespace zorvexa {

enum class RectMorph { Dilate, Erode };

class RectMorphology {
  public:
    // src and dst are 8-bit, one channel, the same size; they may be the same image.
    void apply(const cv::Mat& src, cv::Mat& dst, RectMorph op, uchar outside);

  private:
    std::vector<uchar> padded_; // one row with a border of `outside`
    std::vector<uchar> rows_;   // the horizontal pass, padded above and below
};

} // namespace zorvexa
