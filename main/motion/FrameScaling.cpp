#include "main/motion/FrameScaling.h"

#include <array>
#include <cstdint>
#include <utility>

#include <opencv2/imgproc.hpp>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define ZV_HALVE_SHUFFLE 1
#endif

namespace zorvexa {

namespace {

// Output pixels [from, to) of a halved row: the rounded mean of the 2 x 2 block above.
void halveRowPlain(const std::uint8_t* a, const std::uint8_t* b, std::uint8_t* out, int from,
                   int to) {
    for (int x = from; x < to; ++x)
        for (int c = 0; c < 3; ++c) {
            const int i = 6 * x + c;
            out[3 * x + c] =
                static_cast<std::uint8_t>((a[i] + a[i + 3] + b[i] + b[i + 3] + 2) >> 2);
        }
}

#if ZV_HALVE_SHUFFLE
// Masks that pick, from the three 16-byte thirds of 16 pixels, the bytes of the even (or
// odd) pixels: register r of the 24 picked bytes takes from third q with masks[r][q].
using PickMasks = std::array<std::array<std::array<std::int8_t, 16>, 3>, 2>;
PickMasks pickMasks(int odd) {
    PickMasks masks{};
    for (int r = 0; r < 2; ++r)
        for (int q = 0; q < 3; ++q)
            for (int j = 0; j < 16; ++j) {
                const int picked = 16 * r + j; // byte 3k + c of the picked pixels
                const int source = 6 * (picked / 3) + 3 * odd + picked % 3;
                const bool here = picked < 24 && source / 16 == q;
                masks[r][q][j] = static_cast<std::int8_t>(here ? source % 16 : -128);
            }
    return masks;
}

// Output pixels [from, width), 8 a step, then the plain tail.
__attribute__((target("ssse3"))) void halveRowShuffled(const std::uint8_t* a, const std::uint8_t* b,
                                                       std::uint8_t* out, int from, int width) {
    static const PickMasks even = pickMasks(0), odd = pickMasks(1);
    const auto mask = [](const PickMasks& m, int r, int q) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(m[r][q].data()));
    };
    const __m128i zero = _mm_setzero_si128();
    const __m128i two = _mm_set1_epi16(2);
    int x = from;
    for (; x + 8 <= width; x += 8) { // 16 source pixels, 48 bytes of each row, a step
        __m128i sum[3] = {two, two, two};
        for (const std::uint8_t* row : {a, b}) {
            const __m128i* in = reinterpret_cast<const __m128i*>(row + 6 * x);
            const __m128i third[3] = {_mm_loadu_si128(in), _mm_loadu_si128(in + 1),
                                      _mm_loadu_si128(in + 2)};
            for (const PickMasks* m : {&even, &odd}) {
                __m128i picked[2];
                for (int r = 0; r < 2; ++r) {
                    picked[r] = _mm_shuffle_epi8(third[0], mask(*m, r, 0));
                    picked[r] = _mm_or_si128(picked[r], _mm_shuffle_epi8(third[1], mask(*m, r, 1)));
                    picked[r] = _mm_or_si128(picked[r], _mm_shuffle_epi8(third[2], mask(*m, r, 2)));
                }
                sum[0] = _mm_add_epi16(sum[0], _mm_unpacklo_epi8(picked[0], zero));
                sum[1] = _mm_add_epi16(sum[1], _mm_unpackhi_epi8(picked[0], zero));
                sum[2] = _mm_add_epi16(sum[2], _mm_unpacklo_epi8(picked[1], zero));
            }
        }
        const __m128i low = _mm_packus_epi16(_mm_srli_epi16(sum[0], 2), _mm_srli_epi16(sum[1], 2));
        const __m128i high = _mm_packus_epi16(_mm_srli_epi16(sum[2], 2), zero);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 3 * x), low);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 3 * x + 16), high);
    }
    halveRowPlain(a, b, out, x, width);
}

// Shuffle masks for the AVX2 halving: the rounded means of 8 output pixels stand at bytes
// j of 48 with j % 6 < 3 (a pixel pair's first three); output byte k takes j = 6 (k / 3) +
// k % 3, from the 16-byte third j / 16.
struct PackPicks {
    alignas(16) std::int8_t first[2][16];  // output bytes 0-15 from thirds 0 and 1
    alignas(16) std::int8_t second[2][16]; // output bytes 16-23 from thirds 1 and 2
};

constexpr PackPicks packPicks() {
    PackPicks picks{};
    for (int k = 0; k < 16; ++k) {
        const int first = 6 * (k / 3) + k % 3, second = 6 * ((k + 16) / 3) + (k + 16) % 3;
        for (int q = 0; q < 2; ++q) {
            picks.first[q][k] = static_cast<std::int8_t>(first / 16 == q ? first % 16 : -128);
            picks.second[q][k] =
                static_cast<std::int8_t>(k < 8 && second / 16 == q + 1 ? second % 16 : -128);
        }
    }
    return picks;
}

constexpr PackPicks kPackPicks = packPicks();

// 16 bytes from `low` in the low half, and the 16 from 48 bytes further on in the high half.
__attribute__((target("avx2"))) inline __m256i sixteenBytesTwice(const std::uint8_t* low) {
    return _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(low + 48),
                               reinterpret_cast<const __m128i*>(low));
}

// A 16-byte shuffle mask for both halves.
__attribute__((target("avx2"))) inline __m256i bothHalves(const std::int8_t* mask) {
    return _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(mask)));
}

// 16 output pixels a step: each 128-bit half of the registers holds 8 of them, from 48
// bytes of each row. A byte of one row beside the same byte of the other, multiplied and
// added in pairs by 1, gives the column sums; a shift by one pixel (3 lanes) adds the
// neighbour's; then (sum + 2) >> 2 and the means are picked out in order.
// Returns the number of output pixels done (a multiple of 16).
__attribute__((target("avx2"))) int halveRowWide(const std::uint8_t* a, const std::uint8_t* b,
                                                 std::uint8_t* out, int width) {
    const __m256i ones = _mm256_set1_epi8(1), two = _mm256_set1_epi16(2);
    const __m256i first0 = bothHalves(kPackPicks.first[0]),
                  first1 = bothHalves(kPackPicks.first[1]);
    const __m256i second1 = bothHalves(kPackPicks.second[0]);
    const __m256i second2 = bothHalves(kPackPicks.second[1]);
    int x = 0;
    for (; x + 16 <= width; x += 16) {
        __m256i column[6];
        for (int t = 0; t < 3; ++t) {
            const __m256i top = sixteenBytesTwice(a + 6 * x + 16 * t);
            const __m256i bottom = sixteenBytesTwice(b + 6 * x + 16 * t);
            column[2 * t] = _mm256_maddubs_epi16(_mm256_unpacklo_epi8(top, bottom), ones);
            column[2 * t + 1] = _mm256_maddubs_epi16(_mm256_unpackhi_epi8(top, bottom), ones);
        }
        __m256i mean[6];
        for (int i = 0; i < 6; ++i) {
            const __m256i next = i < 5 ? _mm256_alignr_epi8(column[i + 1], column[i], 6)
                                       : _mm256_srli_si256(column[i], 6);
            mean[i] =
                _mm256_srli_epi16(_mm256_add_epi16(_mm256_add_epi16(column[i], next), two), 2);
        }
        const __m256i third0 = _mm256_packus_epi16(mean[0], mean[1]);
        const __m256i third1 = _mm256_packus_epi16(mean[2], mean[3]);
        const __m256i third2 = _mm256_packus_epi16(mean[4], mean[5]);
        const __m256i head = _mm256_or_si256(_mm256_shuffle_epi8(third0, first0),
                                             _mm256_shuffle_epi8(third1, first1));
        const __m256i tail = _mm256_or_si256(_mm256_shuffle_epi8(third1, second1),
                                             _mm256_shuffle_epi8(third2, second2));
        std::uint8_t* o = out + 3 * x;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(o), _mm256_castsi256_si128(head));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(o + 16), _mm256_castsi256_si128(tail));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(o + 24), _mm256_extracti128_si256(head, 1));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(o + 40), _mm256_extracti128_si256(tail, 1));
    }
    return x;
}

// Masks that reverse the order of 16 pixels held in three 16-byte thirds: output third r
// takes from input third q with masks[r][q].
using ReverseMasks = std::array<std::array<std::array<std::int8_t, 16>, 3>, 3>;
constexpr ReverseMasks reverseMasks() {
    ReverseMasks masks{};
    for (int r = 0; r < 3; ++r)
        for (int q = 0; q < 3; ++q)
            for (int j = 0; j < 16; ++j) {
                const int k = 16 * r + j;                    // byte 3 i + c of the output
                const int source = 3 * (15 - k / 3) + k % 3; // byte c of pixel 15 - i
                masks[r][q][j] = static_cast<std::int8_t>(source / 16 == q ? source % 16 : -128);
            }
    return masks;
}

constexpr ReverseMasks kReverseMasks = reverseMasks();

struct SixteenPixels {
    __m128i third[3];
};

__attribute__((target("ssse3"))) inline SixteenPixels reversedAt(const std::uint8_t* at) {
    const auto mask = [](int r, int q) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(kReverseMasks[r][q].data()));
    };
    const __m128i* in = reinterpret_cast<const __m128i*>(at);
    const __m128i a = _mm_loadu_si128(in), b = _mm_loadu_si128(in + 1), c = _mm_loadu_si128(in + 2);
    // Output third r draws on the input thirds q with 1 <= r + q <= 3.
    return {{_mm_or_si128(_mm_shuffle_epi8(b, mask(0, 1)), _mm_shuffle_epi8(c, mask(0, 2))),
             _mm_or_si128(
                 _mm_or_si128(_mm_shuffle_epi8(a, mask(1, 0)), _mm_shuffle_epi8(b, mask(1, 1))),
                 _mm_shuffle_epi8(c, mask(1, 2))),
             _mm_or_si128(_mm_shuffle_epi8(a, mask(2, 0)), _mm_shuffle_epi8(b, mask(2, 1)))}};
}

__attribute__((target("ssse3"))) inline void store(std::uint8_t* at, const SixteenPixels& p) {
    __m128i* out = reinterpret_cast<__m128i*>(at);
    for (int r = 0; r < 3; ++r)
        _mm_storeu_si128(out + r, p.third[r]);
}

// Swaps blocks of 16 pixels from both ends of the row, each reversed, while they do not
// meet; returns the number of pixels done at each end.
__attribute__((target("ssse3"))) int mirrorRowShuffled(std::uint8_t* row, int width) {
    int done = 0;
    for (; 2 * (done + 16) <= width; done += 16) {
        std::uint8_t* left = row + 3 * done;
        std::uint8_t* right = row + 3 * (width - done - 16);
        const SixteenPixels l = reversedAt(left), r = reversedAt(right);
        store(left, r);
        store(right, l);
    }
    return done;
}
#endif

void mirrorRowPlain(std::uint8_t* row, int from, int width) {
    for (int i = from, j = width - 1 - from; i < j; ++i, --j)
        for (int c = 0; c < 3; ++c)
            std::swap(row[3 * i + c], row[3 * j + c]);
}

bool halves(const cv::Mat& frame, cv::Size size) {
    return frame.type() == CV_8UC3 && frame.cols == 2 * size.width && frame.rows == 2 * size.height;
}

bool toSize(const cv::Mat& frame, cv::Mat& out, cv::Size size) {
    if (frame.empty())
        return false;
    const cv::Mat* src = &frame;
    cv::Mat colour;
    if (frame.channels() == 1) {
        cv::cvtColor(frame, colour, cv::COLOR_GRAY2BGR);
        src = &colour;
    } else if (frame.channels() == 4) {
        cv::cvtColor(frame, colour, cv::COLOR_BGRA2BGR);
        src = &colour;
    }
    if (src->size() == size) {
        src->copyTo(out);
    } else {
        resizeBilinear(*src, out, size);
    }
    return true;
}

} // namespace

void resizeBilinear(const cv::Mat& frame, cv::Mat& out, cv::Size size) {
    if (!halves(frame, size) || frame.data == out.data) {
        cv::resize(frame, out, size, 0, 0, cv::INTER_LINEAR);
        return;
    }
    out.create(size, CV_8UC3);
#if ZV_HALVE_SHUFFLE
    static const bool shuffle = __builtin_cpu_supports("ssse3");
    static const bool wide = __builtin_cpu_supports("avx2");
#endif
    for (int y = 0; y < size.height; ++y) {
        const std::uint8_t* a = frame.ptr<std::uint8_t>(2 * y);
        const std::uint8_t* b = frame.ptr<std::uint8_t>(2 * y + 1);
        std::uint8_t* row = out.ptr<std::uint8_t>(y);
#if ZV_HALVE_SHUFFLE
        if (shuffle) {
            halveRowShuffled(a, b, row, wide ? halveRowWide(a, b, row, size.width) : 0, size.width);
            continue;
        }
#endif
        halveRowPlain(a, b, row, 0, size.width);
    }
}

void mirrorColumns(cv::Mat& frame) {
    if (frame.type() != CV_8UC3) {
        cv::flip(frame, frame, 1);
        return;
    }
#if ZV_HALVE_SHUFFLE
    static const bool shuffle = __builtin_cpu_supports("ssse3");
#endif
    for (int y = 0; y < frame.rows; ++y) {
        std::uint8_t* row = frame.ptr<std::uint8_t>(y);
        int done = 0;
#if ZV_HALVE_SHUFFLE
        if (shuffle)
            done = mirrorRowShuffled(row, frame.cols);
#endif
        mirrorRowPlain(row, done, frame.cols);
    }
}

bool toProcessingFrame(const cv::Mat& frame, cv::Mat& out) {
    return toSize(frame, out, cv::Size(160, 120));
}

bool toDisplayFrame(const cv::Mat& frame, cv::Mat& out) {
    return toSize(frame, out, cv::Size(320, 240));
}

} // namespace zorvexa
