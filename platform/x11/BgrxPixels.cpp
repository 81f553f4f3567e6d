#include "platform/x11/BgrxPixels.h"

#include <cstdint>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <tmmintrin.h>
#define ZV_BGRX_SHUFFLE 1
#endif

namespace zorvexa {

namespace {

void rowPlain(const std::uint8_t* in, std::uint8_t* out, int from, int width) {
    for (int x = from; x < width; ++x) {
        out[4 * x] = in[3 * x];
        out[4 * x + 1] = in[3 * x + 1];
        out[4 * x + 2] = in[3 * x + 2];
        out[4 * x + 3] = 255;
    }
}

#if ZV_BGRX_SHUFFLE
__attribute__((target("ssse3"))) void rowShuffled(const std::uint8_t* in, std::uint8_t* out,
                                                  int width) {
    const __m128i spread = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xff000000u));
    int x = 0;
    // Four pixels a step from a 16-byte load, which reads 4 bytes beyond them: stop while
    // those still belong to the row.
    for (; x + 6 <= width; x += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 3 * x));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * x),
                         _mm_or_si128(_mm_shuffle_epi8(v, spread), opaque));
    }
    rowPlain(in, out, x, width);
}
#endif

} // namespace

void bgrToBgrx(const cv::Mat& bgr, cv::Mat& bgrx) {
    CV_Assert(bgr.type() == CV_8UC3 && bgrx.type() == CV_8UC4 && bgr.size() == bgrx.size());
#if ZV_BGRX_SHUFFLE
    static const bool shuffle = __builtin_cpu_supports("ssse3");
#endif
    for (int y = 0; y < bgr.rows; ++y) {
        const std::uint8_t* in = bgr.ptr<std::uint8_t>(y);
        std::uint8_t* out = bgrx.ptr<std::uint8_t>(y);
#if ZV_BGRX_SHUFFLE
        if (shuffle) {
            rowShuffled(in, out, bgr.cols);
            continue;
        }
#endif
        rowPlain(in, out, 0, bgr.cols);
    }
}

} // namespace zorvexa
