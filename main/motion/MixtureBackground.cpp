#include "main/motion/MixtureBackground.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <stdexcept>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define ZV_MOG_AVX2 1
#endif

namespace zorvexa {

namespace {

constexpr double kInitialWeight = 0.05;
constexpr double kVarianceThreshold = 2.5 * 2.5; // squared distance, in variances, of a match
constexpr double kInitialSigma = 15;             // a new mixture's standard deviation is twice it

} // namespace

MixtureBackground::MixtureBackground(const Parameters& p)
    : params_(p), ratio_(static_cast<float>(p.backgroundRatio)),
      matchFactor_(static_cast<float>(kVarianceThreshold)), w0_(static_cast<float>(kInitialWeight)),
      sortKey0_(static_cast<float>(kInitialWeight / (kInitialSigma * 2 * std::sqrt(3.)))),
      var0_(static_cast<float>(kInitialSigma * kInitialSigma * 4)),
      minVar_(static_cast<float>(p.noiseSigma * p.noiseSigma)) {
    if (p.mixtures < 1 || p.mixtures > 8 || p.history < 1 || p.backgroundRatio <= 0 ||
        p.noiseSigma <= 0)
        throw std::invalid_argument("mixture background: parameters out of range");
}

void MixtureBackground::initialize(const cv::Size& size) {
    size_ = size;
    const size_t pixels = static_cast<size_t>(size.area());
    planes_.assign(pixels * kFields * static_cast<size_t>(params_.mixtures), 0.f);
    filled_.assign(pixels, 0);
}

void MixtureBackground::apply(const cv::Mat& frame, cv::Mat& mask, double learningRate) {
    if (frame.type() != CV_8UC3)
        throw std::invalid_argument("mixture background: needs 8-bit colour frames");
    if (learningRate == 0 || std::isnan(learningRate))
        throw std::invalid_argument("mixture background: the learning rate must not be 0");
    if (learningRate >= 1)
        frames_ = 0; // a rate of 1 or more starts again, as OpenCV's model does
    if (frames_ == 0 || frame.size() != size_)
        initialize(frame.size());
    mask.create(frame.size(), CV_8UC1);
    ++frames_;
    if (learningRate < 0 || frames_ == 1)
        learningRate =
            1. / static_cast<double>(std::min(frames_, static_cast<long>(params_.history)));

    const float alpha = static_cast<float>(learningRate);
#if ZV_MOG_AVX2
    static const bool avx2 = __builtin_cpu_supports("avx2");
#endif

    for (int y = 0; y < frame.rows; ++y) {
        const uchar* src = frame.ptr<uchar>(y);
        uchar* dst = mask.ptr<uchar>(y);
        size_t p = static_cast<size_t>(y) * static_cast<size_t>(frame.cols);
        int x = 0;
#if defined(__SSE2__)
        for (; x + 4 <= frame.cols; x += 4, p += 4) {
#if ZV_MOG_AVX2
            if (avx2 && x + 8 <= frame.cols &&
                updateEightMatchingFirst(p, src + x * 3, alpha, dst + x)) {
                x += 4, p += 4; // the loop's own step adds the other four
                continue;
            }
#endif
            if (updateFourMatchingFirst(p, src + x * 3, alpha, dst + x))
                continue;
            for (int i = 0; i < 4; ++i) {
                const uchar* c = src + (x + i) * 3;
                dst[x + i] = updatePixel(p + i, c[0], c[1], c[2], alpha);
            }
        }
#endif
        for (; x < frame.cols; ++x, ++p)
            dst[x] = updatePixel(p, src[x * 3], src[x * 3 + 1], src[x * 3 + 2], alpha);
    }
}

std::uint8_t MixtureBackground::updatePixel(size_t p, float c0, float c1, float c2, float alpha) {
    const int slots = params_.mixtures;
    const auto at = [&](int k, Field f) -> float& { return plane(k, f)[p]; };
    int filled = filled_[p];

    // Find the first mixture, in sort-key order, that the colour matches.
    float wsum = 0;
    int hit = -1, k = 0;
    for (; k < slots; ++k) {
        const float wk = k < filled ? at(k, Weight) : 0.f; // unfilled slots weigh 0
        wsum += wk;
        if (wk < FLT_EPSILON)
            break;
        const float d0 = c0 - at(k, Mean0), d1 = c1 - at(k, Mean1), d2 = c2 - at(k, Mean2);
        float dist = d0 * d0;
        dist += d1 * d1;
        dist += d2 * d2;
        if (!(dist < matchFactor_ * (at(k, Var0) + at(k, Var1) + at(k, Var2))))
            continue;
        wsum -= wk;
        at(k, Weight) = wk + alpha * (1.f - wk);
        at(k, Mean0) = at(k, Mean0) + alpha * d0;
        at(k, Mean1) = at(k, Mean1) + alpha * d1;
        at(k, Mean2) = at(k, Mean2) + alpha * d2;
        at(k, Var0) = std::max(at(k, Var0) + alpha * (d0 * d0 - at(k, Var0)), minVar_);
        at(k, Var1) = std::max(at(k, Var1) + alpha * (d1 * d1 - at(k, Var1)), minVar_);
        at(k, Var2) = std::max(at(k, Var2) + alpha * (d2 * d2 - at(k, Var2)), minVar_);
        at(k, Key) = wk / std::sqrt(at(k, Var0) + at(k, Var1) + at(k, Var2));
        // Move it up while its key beats the one above.
        int j = k - 1;
        for (; j >= 0 && !(at(j, Key) >= at(j + 1, Key)); --j)
            for (int f = 0; f < kFields; ++f)
                std::swap(at(j, static_cast<Field>(f)), at(j + 1, static_cast<Field>(f)));
        hit = j + 1;
        break;
    }

    if (hit < 0) {
        // No match: the colour replaces the first negligible slot, or the last.
        hit = k = std::min(k, slots - 1);
        wsum += w0_ - (k < filled ? at(k, Weight) : 0.f);
        at(k, Weight) = w0_;
        at(k, Key) = sortKey0_;
        at(k, Mean0) = c0;
        at(k, Mean1) = c1;
        at(k, Mean2) = c2;
        at(k, Var0) = at(k, Var1) = at(k, Var2) = var0_;
        if (k == filled)
            filled_[p] = static_cast<std::uint8_t>(++filled);
    } else {
        // The rest of the weights from slot k on (which, after a move, counts a moved
        // mixture twice and the matched one not at all, as OpenCV's model does).
        for (; k < filled; ++k)
            wsum += at(k, Weight);
    }

    // Normalise; the background is the heaviest slots up to the ratio.
    const float scale = 1.f / wsum;
    wsum = 0;
    int background = -1;
    for (k = 0; k < filled; ++k) {
        at(k, Weight) *= scale;
        wsum += at(k, Weight);
        at(k, Key) *= scale;
        if (wsum > ratio_ && background < 0)
            background = k + 1;
    }
    return hit >= background ? 255 : 0;
}

#if defined(__SSE2__)
bool MixtureBackground::updateFourMatchingFirst(size_t p, const std::uint8_t* bgr, float alpha,
                                                std::uint8_t* mask) {
    // The general update's steps for a match in slot 0, on four pixels at once.
    const auto load = [&](int k, Field f) { return _mm_loadu_ps(plane(k, f) + p); };
    const auto store = [&](int k, Field f, __m128 v) { _mm_storeu_ps(plane(k, f) + p, v); };
    const __m128 w = load(0, Weight);
    const __m128 m0 = load(0, Mean0), m1 = load(0, Mean1), m2 = load(0, Mean2);
    const __m128 v0 = load(0, Var0), v1 = load(0, Var1), v2 = load(0, Var2);
    const __m128 d0 = _mm_sub_ps(_mm_setr_ps(bgr[0], bgr[3], bgr[6], bgr[9]), m0);
    const __m128 d1 = _mm_sub_ps(_mm_setr_ps(bgr[1], bgr[4], bgr[7], bgr[10]), m1);
    const __m128 d2 = _mm_sub_ps(_mm_setr_ps(bgr[2], bgr[5], bgr[8], bgr[11]), m2);
    const __m128 sq0 = _mm_mul_ps(d0, d0), sq1 = _mm_mul_ps(d1, d1), sq2 = _mm_mul_ps(d2, d2);
    const __m128 dist = _mm_add_ps(_mm_add_ps(sq0, sq1), sq2);
    const __m128 limit = _mm_mul_ps(_mm_set1_ps(matchFactor_), _mm_add_ps(_mm_add_ps(v0, v1), v2));
    const __m128 heavy = _mm_cmpnlt_ps(w, _mm_set1_ps(FLT_EPSILON));
    if (_mm_movemask_ps(_mm_and_ps(heavy, _mm_cmplt_ps(dist, limit))) != 0xF)
        return false;

    const __m128 a = _mm_set1_ps(alpha), minVar = _mm_set1_ps(minVar_);
    const __m128 weight = _mm_add_ps(w, _mm_mul_ps(a, _mm_sub_ps(_mm_set1_ps(1.f), w)));
    store(0, Mean0, _mm_add_ps(m0, _mm_mul_ps(a, d0)));
    store(0, Mean1, _mm_add_ps(m1, _mm_mul_ps(a, d1)));
    store(0, Mean2, _mm_add_ps(m2, _mm_mul_ps(a, d2)));
    const __m128 n0 = _mm_max_ps(_mm_add_ps(v0, _mm_mul_ps(a, _mm_sub_ps(sq0, v0))), minVar);
    const __m128 n1 = _mm_max_ps(_mm_add_ps(v1, _mm_mul_ps(a, _mm_sub_ps(sq1, v1))), minVar);
    const __m128 n2 = _mm_max_ps(_mm_add_ps(v2, _mm_mul_ps(a, _mm_sub_ps(sq2, v2))), minVar);
    store(0, Var0, n0);
    store(0, Var1, n1);
    store(0, Var2, n2);
    // The key takes the weight from before the update, as in the general update.
    const __m128 key = _mm_div_ps(w, _mm_sqrt_ps(_mm_add_ps(_mm_add_ps(n0, n1), n2)));

    const std::uint8_t* filled = &filled_[p];
    const int most = std::max(std::max(filled[0], filled[1]), std::max(filled[2], filled[3]));
    __m128 wsum = weight;
    for (int k = 1; k < most; ++k)
        wsum = _mm_add_ps(wsum, load(k, Weight));
    const __m128 scale = _mm_div_ps(_mm_set1_ps(1.f), wsum);
    __m128 sum = _mm_mul_ps(weight, scale);
    store(0, Weight, sum);
    store(0, Key, _mm_mul_ps(key, scale));
    for (int k = 1; k < most; ++k) {
        const __m128 wk = _mm_mul_ps(load(k, Weight), scale);
        store(k, Weight, wk);
        sum = _mm_add_ps(sum, wk);
        store(k, Key, _mm_mul_ps(load(k, Key), scale));
    }
    // The running sum never falls, so the matched slot is background exactly when the
    // sum passes the ratio at some slot, that is, when it ends above it.
    const int background = _mm_movemask_ps(_mm_cmpgt_ps(sum, _mm_set1_ps(ratio_)));
    for (int i = 0; i < 4; ++i)
        mask[i] = (background >> i) & 1 ? 0 : 255;
    return true;
}
#endif

#if ZV_MOG_AVX2
namespace {

// Shuffle masks that gather channel c of eight BGR pixels (bytes c, c + 3, ..., c + 21 of 24)
// from the first 16 bytes and from the 8 after them.
struct ChannelPicks {
    alignas(16) std::int8_t fromLow[3][16];
    alignas(16) std::int8_t fromHigh[3][16];
};

constexpr ChannelPicks channelPicks() {
    ChannelPicks picks{};
    for (int c = 0; c < 3; ++c)
        for (int i = 0; i < 16; ++i) {
            const int at = 3 * i + c;
            picks.fromLow[c][i] = static_cast<std::int8_t>(i < 8 && at < 16 ? at : -128);
            picks.fromHigh[c][i] = static_cast<std::int8_t>(i < 8 && at >= 16 ? at - 16 : -128);
        }
    return picks;
}

constexpr ChannelPicks kChannelPicks = channelPicks();

__attribute__((target("avx2"))) inline __m256 channelOf(__m128i low, __m128i high, int c) {
    const auto mask = [](const std::int8_t* m) {
        return _mm_load_si128(reinterpret_cast<const __m128i*>(m));
    };
    const __m128i bytes = _mm_or_si128(_mm_shuffle_epi8(low, mask(kChannelPicks.fromLow[c])),
                                       _mm_shuffle_epi8(high, mask(kChannelPicks.fromHigh[c])));
    return _mm256_cvtepi32_ps(_mm256_cvtepu8_epi32(bytes));
}

// max(v + a (sq - v), minVar), as the general update computes a variance.
__attribute__((target("avx2"))) inline __m256 nextVariance(__m256 v, __m256 sq, __m256 a,
                                                           __m256 minVar) {
    return _mm256_max_ps(_mm256_add_ps(v, _mm256_mul_ps(a, _mm256_sub_ps(sq, v))), minVar);
}

} // namespace

__attribute__((target("avx2"))) bool
MixtureBackground::updateEightMatchingFirst(size_t p, const std::uint8_t* bgr, float alpha,
                                            std::uint8_t* mask) {
    // The four-pixel update, eight pixels wide. The file is compiled without contracting
    // products and sums, and AVX2 alone brings no fused multiply-add, so every result is
    // rounded as in the general update.
    const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bgr));
    const __m128i high = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(bgr + 16));
    const __m256 w = _mm256_loadu_ps(plane(0, Weight) + p);
    const __m256 m0 = _mm256_loadu_ps(plane(0, Mean0) + p);
    const __m256 m1 = _mm256_loadu_ps(plane(0, Mean1) + p);
    const __m256 m2 = _mm256_loadu_ps(plane(0, Mean2) + p);
    const __m256 v0 = _mm256_loadu_ps(plane(0, Var0) + p);
    const __m256 v1 = _mm256_loadu_ps(plane(0, Var1) + p);
    const __m256 v2 = _mm256_loadu_ps(plane(0, Var2) + p);
    const __m256 d0 = _mm256_sub_ps(channelOf(low, high, 0), m0);
    const __m256 d1 = _mm256_sub_ps(channelOf(low, high, 1), m1);
    const __m256 d2 = _mm256_sub_ps(channelOf(low, high, 2), m2);
    const __m256 sq0 = _mm256_mul_ps(d0, d0), sq1 = _mm256_mul_ps(d1, d1);
    const __m256 sq2 = _mm256_mul_ps(d2, d2);
    const __m256 dist = _mm256_add_ps(_mm256_add_ps(sq0, sq1), sq2);
    const __m256 limit =
        _mm256_mul_ps(_mm256_set1_ps(matchFactor_), _mm256_add_ps(_mm256_add_ps(v0, v1), v2));
    const __m256 heavy = _mm256_cmp_ps(w, _mm256_set1_ps(FLT_EPSILON), _CMP_NLT_UQ);
    if (_mm256_movemask_ps(_mm256_and_ps(heavy, _mm256_cmp_ps(dist, limit, _CMP_LT_OQ))) != 0xFF)
        return false;

    const __m256 a = _mm256_set1_ps(alpha), minVar = _mm256_set1_ps(minVar_);
    const __m256 weight = _mm256_add_ps(w, _mm256_mul_ps(a, _mm256_sub_ps(_mm256_set1_ps(1.f), w)));
    _mm256_storeu_ps(plane(0, Mean0) + p, _mm256_add_ps(m0, _mm256_mul_ps(a, d0)));
    _mm256_storeu_ps(plane(0, Mean1) + p, _mm256_add_ps(m1, _mm256_mul_ps(a, d1)));
    _mm256_storeu_ps(plane(0, Mean2) + p, _mm256_add_ps(m2, _mm256_mul_ps(a, d2)));
    const __m256 n0 = nextVariance(v0, sq0, a, minVar), n1 = nextVariance(v1, sq1, a, minVar);
    const __m256 n2 = nextVariance(v2, sq2, a, minVar);
    _mm256_storeu_ps(plane(0, Var0) + p, n0);
    _mm256_storeu_ps(plane(0, Var1) + p, n1);
    _mm256_storeu_ps(plane(0, Var2) + p, n2);
    const __m256 key = _mm256_div_ps(w, _mm256_sqrt_ps(_mm256_add_ps(_mm256_add_ps(n0, n1), n2)));

    const std::uint8_t* filled = &filled_[p];
    const int most = *std::max_element(filled, filled + 8);
    __m256 wsum = weight;
    for (int k = 1; k < most; ++k)
        wsum = _mm256_add_ps(wsum, _mm256_loadu_ps(plane(k, Weight) + p));
    const __m256 scale = _mm256_div_ps(_mm256_set1_ps(1.f), wsum);
    __m256 sum = _mm256_mul_ps(weight, scale);
    _mm256_storeu_ps(plane(0, Weight) + p, sum);
    _mm256_storeu_ps(plane(0, Key) + p, _mm256_mul_ps(key, scale));
    for (int k = 1; k < most; ++k) {
        const __m256 wk = _mm256_mul_ps(_mm256_loadu_ps(plane(k, Weight) + p), scale);
        _mm256_storeu_ps(plane(k, Weight) + p, wk);
        sum = _mm256_add_ps(sum, wk);
        _mm256_storeu_ps(plane(k, Key) + p,
                         _mm256_mul_ps(_mm256_loadu_ps(plane(k, Key) + p), scale));
    }
    const int background =
        _mm256_movemask_ps(_mm256_cmp_ps(sum, _mm256_set1_ps(ratio_), _CMP_GT_OQ));
    for (int i = 0; i < 8; ++i)
        mask[i] = (background >> i) & 1 ? 0 : 255;
    return true;
}
#endif

} // namespace zorvexa
