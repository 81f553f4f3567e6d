// Gaussian-mixture background model for the motion extraction: per pixel up to eight
// colour Gaussians with a weight, a mean and a per-channel variance; a pixel is foreground
// unless it matches one of the heaviest mixtures that together explain the background ratio
// of what was seen.
//
// The arithmetic is that of OpenCV's bgsegm MOG (the adaptive mixture model with its
// windowing and without shadow detection), step for step, so the masks are the same bit for
// bit. What differs is the storage. OpenCV keeps every pixel's mixtures together, 256 bytes a
// pixel, and walks all of them every frame: 4.9 MB at 160 x 120, which falls out of the
// caches while the program waits 33 ms for the next camera frame. Here each mixture slot has
// its own planes, weights apart from means and variances, and every pixel knows how many of
// its slots were ever filled (slots fill in order and never empty again), so a frame reads
// only the weights of the filled slots and the means of the slots it compares. A still
// background uses one slot: about 35 bytes a pixel.
#pragma once

#include <cstdint>
#include <vector>

#include <opencv2/core.hpp>

namespace zorvexa {

class MixtureBackground {
  public:
    struct Parameters {
        int history = 2;              // frames over which the first learning rates average
        int mixtures = 8;             // slots per pixel (OpenCV's MOG allows at most 8)
        double backgroundRatio = 0.3; // share of weight that counts as background
        double noiseSigma = 15;       // floor of the standard deviation, per channel
    };

    MixtureBackground() : MixtureBackground(Parameters{}) {}
    explicit MixtureBackground(const Parameters& p);

    // Learns from an 8-bit, 3-channel frame and writes its foreground mask (0 or 255).
    // learningRate < 0 uses 1 / min(frames seen, history). A frame of another size or type
    // than the last starts the model again, as does the first.
    void apply(const cv::Mat& frame, cv::Mat& mask, double learningRate);

    // Forgets what was learnt: the next frame starts a new model.
    void reset() { frames_ = 0; }

  private:
    void initialize(const cv::Size& size);

    Parameters params_;
    cv::Size size_;
    long frames_ = 0;
    // Slot k of pixel p: weights_[(k * n + p) * 2] is the weight, [.. + 1] the sort key
    // (weight over the root of the summed variances); shapes_[(k * n + p) * 6] holds the
    // mean of the three channels, then their variances.
    std::vector<float> weights_;
    std::vector<float> shapes_;
    std::vector<std::uint8_t> filled_; // slots in use per pixel
};

} // namespace zorvexa
