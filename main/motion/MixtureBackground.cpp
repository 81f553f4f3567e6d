#include "main/motion/MixtureBackground.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <stdexcept>
#include <utility>

namespace zorvexa {

namespace {

constexpr double kInitialWeight = 0.05;
constexpr double kVarianceThreshold = 2.5 * 2.5; // squared distance, in variances, of a match
constexpr double kInitialSigma = 15;             // a new mixture's standard deviation is twice it

} // namespace

MixtureBackground::MixtureBackground(const Parameters& p) : params_(p) {
    if (p.mixtures < 1 || p.mixtures > 8 || p.history < 1 || p.backgroundRatio <= 0 ||
        p.noiseSigma <= 0)
        throw std::invalid_argument("mixture background: parameters out of range");
}

void MixtureBackground::initialize(const cv::Size& size) {
    size_ = size;
    const size_t pixels = static_cast<size_t>(size.area());
    const size_t slots = pixels * static_cast<size_t>(params_.mixtures);
    weights_.assign(slots * 2, 0.f);
    shapes_.assign(slots * 6, 0.f);
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

    // Every constant is rounded to float where OpenCV's model rounds it.
    const float alpha = static_cast<float>(learningRate);
    const float ratio = static_cast<float>(params_.backgroundRatio);
    const float matchFactor = static_cast<float>(kVarianceThreshold);
    const float w0 = static_cast<float>(kInitialWeight);
    const float sortKey0 = static_cast<float>(kInitialWeight / (kInitialSigma * 2 * std::sqrt(3.)));
    const float var0 = static_cast<float>(kInitialSigma * kInitialSigma * 4);
    const float minVar = static_cast<float>(params_.noiseSigma * params_.noiseSigma);
    const int slots = params_.mixtures;
    const size_t pixels = static_cast<size_t>(size_.area());
    const size_t weightPlane = pixels * 2, shapePlane = pixels * 6;

    size_t p = 0;
    for (int y = 0; y < frame.rows; ++y) {
        const uchar* src = frame.ptr<uchar>(y);
        uchar* dst = mask.ptr<uchar>(y);
        for (int x = 0; x < frame.cols; ++x, ++p) {
            float* const w = &weights_[p * 2]; // w[k * weightPlane]: weight of slot k
            float* const s = &shapes_[p * 6];  // s[k * shapePlane]: mean and variance
            const auto weightOf = [&](int k) -> float& { return w[k * weightPlane]; };
            const auto keyOf = [&](int k) -> float& { return w[k * weightPlane + 1]; };
            const auto shapeOf = [&](int k) { return s + k * shapePlane; };
            int filled = filled_[p];
            const float c0 = src[x * 3], c1 = src[x * 3 + 1], c2 = src[x * 3 + 2];

            // Find the first mixture, in sort-key order, that the colour matches.
            float wsum = 0;
            int hit = -1, k = 0;
            for (; k < slots; ++k) {
                const float wk = k < filled ? weightOf(k) : 0.f; // unfilled slots weigh 0
                wsum += wk;
                if (wk < FLT_EPSILON)
                    break;
                float* m = shapeOf(k);
                const float d0 = c0 - m[0], d1 = c1 - m[1], d2 = c2 - m[2];
                float dist = d0 * d0;
                dist += d1 * d1;
                dist += d2 * d2;
                if (!(dist < matchFactor * (m[3] + m[4] + m[5])))
                    continue;
                wsum -= wk;
                weightOf(k) = wk + alpha * (1.f - wk);
                m[0] = m[0] + alpha * d0;
                m[1] = m[1] + alpha * d1;
                m[2] = m[2] + alpha * d2;
                m[3] = std::max(m[3] + alpha * (d0 * d0 - m[3]), minVar);
                m[4] = std::max(m[4] + alpha * (d1 * d1 - m[4]), minVar);
                m[5] = std::max(m[5] + alpha * (d2 * d2 - m[5]), minVar);
                keyOf(k) = wk / std::sqrt(m[3] + m[4] + m[5]);
                // Move it up while its key beats the one above.
                int j = k - 1;
                for (; j >= 0 && !(keyOf(j) >= keyOf(j + 1)); --j) {
                    std::swap(weightOf(j), weightOf(j + 1));
                    std::swap(keyOf(j), keyOf(j + 1));
                    std::swap_ranges(shapeOf(j), shapeOf(j) + 6, shapeOf(j + 1));
                }
                hit = j + 1;
                break;
            }

            if (hit < 0) {
                // No match: the colour replaces the first negligible slot, or the last.
                hit = k = std::min(k, slots - 1);
                wsum += w0 - (k < filled ? weightOf(k) : 0.f);
                weightOf(k) = w0;
                keyOf(k) = sortKey0;
                float* m = shapeOf(k);
                m[0] = c0;
                m[1] = c1;
                m[2] = c2;
                m[3] = m[4] = m[5] = var0;
                if (k == filled)
                    filled_[p] = static_cast<std::uint8_t>(++filled);
            } else {
                // The rest of the weights from slot k on (which, after a move, counts a
                // moved mixture twice and the matched one not at all, as OpenCV's model does).
                for (; k < filled; ++k)
                    wsum += weightOf(k);
            }

            // Normalise; the background is the heaviest slots up to the ratio.
            const float scale = 1.f / wsum;
            wsum = 0;
            int background = -1;
            for (k = 0; k < filled; ++k) {
                weightOf(k) *= scale;
                wsum += weightOf(k);
                keyOf(k) *= scale;
                if (wsum > ratio && background < 0)
                    background = k + 1;
            }
            dst[x] = hit >= background ? 255 : 0;
        }
    }
}

} // namespace zorvexa
