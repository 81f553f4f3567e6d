#include "main/motion/RectMorphology.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace zorvexa {

namespace {

constexpr int kBefore = 2; // the block reaches two pixels up and left of its anchor
constexpr int kAfter = 1;  // and one down and right

template <typename Op> void horizontal(const uchar* in, uchar* out, int width, Op op) {
    // in[x] is the padded row: in[x + kBefore] is pixel x.
    for (int x = 0; x < width; ++x)
        out[x] = op(op(in[x], in[x + 1]), op(in[x + 2], in[x + 3]));
}

template <typename Op>
void vertical(const uchar* a, const uchar* b, const uchar* c, const uchar* d, uchar* out, int width,
              Op op) {
    for (int x = 0; x < width; ++x)
        out[x] = op(op(a[x], b[x]), op(c[x], d[x]));
}

} // namespace

void RectMorphology::apply(const cv::Mat& src, cv::Mat& dst, RectMorph op, uchar outside) {
    if (src.type() != CV_8UC1)
        throw std::invalid_argument("rectangle morphology: needs 8-bit one-channel images");
    const int w = src.cols, h = src.rows;
    const int paddedWidth = w + kBefore + kAfter;
    padded_.assign(static_cast<size_t>(paddedWidth), outside); // its ends stay `outside`
    // Horizontal pass, row by row, into rows kBefore.. of a buffer whose border rows are
    // the horizontal pass of an outside row: `outside` again.
    rows_.assign(static_cast<size_t>(w) * static_cast<size_t>(h + kBefore + kAfter), outside);
    const auto maxOp = [](uchar a, uchar b) { return std::max(a, b); };
    const auto minOp = [](uchar a, uchar b) { return std::min(a, b); };
    uchar* line = padded_.data();
    for (int y = 0; y < h; ++y) {
        std::memcpy(line + kBefore, src.ptr<uchar>(y), static_cast<size_t>(w));
        uchar* out = &rows_[static_cast<size_t>(y + kBefore) * static_cast<size_t>(w)];
        if (op == RectMorph::Dilate)
            horizontal(line, out, w, maxOp);
        else
            horizontal(line, out, w, minOp);
    }
    dst.create(src.size(), CV_8UC1);
    for (int y = 0; y < h; ++y) {
        const uchar* r = &rows_[static_cast<size_t>(y) * static_cast<size_t>(w)];
        const size_t step = static_cast<size_t>(w);
        if (op == RectMorph::Dilate)
            vertical(r, r + step, r + 2 * step, r + 3 * step, dst.ptr<uchar>(y), w, maxOp);
        else
            vertical(r, r + step, r + 2 * step, r + 3 * step, dst.ptr<uchar>(y), w, minOp);
    }
}

} // namespace zorvexa
