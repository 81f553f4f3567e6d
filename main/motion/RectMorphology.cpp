#include "main/motion/RectMorphology.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace zorvexa {

namespace {

constexpr int kBefore = 2; // the block reaches two pixels up and left of its anchor
constexpr int kAfter = 1;  // and one down and right

// Rows of the horizontal pass of `src` into `rows` (kBefore rows of `outside` above them,
// kAfter below: the horizontal pass of a row beyond the image), then the vertical pass
// into `dst`. `line` holds one source row between borders of `outside`.
template <typename Op>
void filter(const cv::Mat& src, cv::Mat& dst, uchar outside, std::vector<uchar>& line,
            std::vector<uchar>& rows, Op op) {
    const int w = src.cols, h = src.rows;
    const size_t step = static_cast<size_t>(w);
    line.assign(step + kBefore + kAfter, outside);
    rows.resize(step * static_cast<size_t>(h + kBefore + kAfter));
    std::fill_n(rows.begin(), step * kBefore, outside);
    std::fill_n(rows.end() - static_cast<std::ptrdiff_t>(step * kAfter), step * kAfter, outside);
    for (int y = 0; y < h; ++y) {
        std::memcpy(line.data() + kBefore, src.ptr<uchar>(y), step);
        const uchar* in = line.data(); // in[x + kBefore] is pixel x
        uchar* out = &rows[static_cast<size_t>(y + kBefore) * step];
        for (int x = 0; x < w; ++x)
            out[x] = op(op(in[x], in[x + 1]), op(in[x + 2], in[x + 3]));
    }
    dst.create(src.size(), CV_8UC1); // src is wholly in `rows` now: dst may be src
    for (int y = 0; y < h; ++y) {
        const uchar* r = &rows[static_cast<size_t>(y) * step];
        uchar* out = dst.ptr<uchar>(y);
        for (int x = 0; x < w; ++x)
            out[x] = op(op(r[x], r[x + step]), op(r[x + 2 * step], r[x + 3 * step]));
    }
}

} // namespace

void RectMorphology::apply(const cv::Mat& src, cv::Mat& dst, RectMorph op, uchar outside) {
    if (src.type() != CV_8UC1)
        throw std::invalid_argument("rectangle morphology: needs 8-bit one-channel images");
    if (op == RectMorph::Dilate)
        filter(src, dst, outside, padded_, rows_, [](uchar a, uchar b) { return std::max(a, b); });
    else
        filter(src, dst, outside, padded_, rows_, [](uchar a, uchar b) { return std::min(a, b); });
}

} // namespace zorvexa
