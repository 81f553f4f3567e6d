// Gaussian-mixture background model for the motion extraction: per pixel up to eight
// colour Gaussians with a weight, a mean and a per-channel variance; a pixel is foreground
// unless it matches one of the heaviest mixtures that together explain the background ratio
// of what was seen.
//
// The arithmetic is that of OpenCV's bgsegm MOG (the adaptive mixture model with its
// windowing and without shadow detection), step for step, so the masks are the same bit for
// bit. What differs is the storage and the order of the work. OpenCV keeps every pixel's
// mixtures together, 256 bytes a pixel, and walks all of them every frame: 4.9 MB at
// 160 x 120, which falls out of the caches while the program waits 33 ms for the next camera
// frame. Here every field of every mixture slot has a plane of its own, and every pixel
// knows how many of its slots were ever filled (slots fill in order and never empty again),
// so a frame reads only the filled slots. A still background uses one slot: about 33 bytes
// a pixel.
//
// Nearly every pixel of a camera picture matches its heaviest mixture. Eight (or four)
// neighbours that all do are updated together with SIMD, with the same operations in the same order
// as one pixel at a time; a slot that is not filled weighs exactly 0, so summing and scaling up to
// the most filled of the group changes nothing for the others. Any other group of four goes
// through the general update, a pixel at a time.
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
    // The general update of pixel p with colour (c0, c1, c2); returns its mask value.
    std::uint8_t updatePixel(size_t p, float c0, float c1, float c2, float alpha);
    // The update of the four pixels from p on, when each matches its first slot; returns
    // false, having changed nothing, when one does not.
    bool updateFourMatchingFirst(size_t p, const std::uint8_t* bgr, float alpha,
                                 std::uint8_t* mask);
    // The same for eight pixels, with AVX2 (only called where the processor has it).
    bool updateEightMatchingFirst(size_t p, const std::uint8_t* bgr, float alpha,
                                  std::uint8_t* mask);

    // What a slot holds for a pixel, in the order of its planes.
    enum Field { Weight, Key, Mean0, Mean1, Mean2, Var0, Var1, Var2, kFields };
    float* plane(int slot, Field f) {
        return &planes_[(static_cast<size_t>(slot) * kFields + f) *
                        static_cast<size_t>(size_.area())];
    }

    Parameters params_;
    cv::Size size_;
    long frames_ = 0;
    // Field f of slot k of pixel p is planes_[(k * kFields + f) * pixels + p]. The key
    // orders the slots: the weight over the root of the summed variances.
    std::vector<float> planes_;
    // The model's constants, rounded to float where OpenCV's model rounds them.
    float ratio_, matchFactor_, w0_, sortKey0_, var0_, minVar_;
    std::vector<std::uint8_t> filled_; // slots in use per pixel
};

} // namespace zorvexa
