// The room behind the person and the camera's imperfections: a lightly textured wall
// with a few fixtures, sensor noise and a mild lighting flicker. Everything is derived
// from a seed and the frame number, so a clip renders the same every time.
#pragma once

#include <cstdint>

#include <opencv2/core.hpp>

namespace zorvexa::render {

class Scene {
  public:
    Scene(cv::Size size, std::uint64_t seed);

    const cv::Mat& background() const { return background_; }

    // Adds sensor noise and the flicker of frame `frame` to a finished picture.
    void applyCamera(cv::Mat& picture, int frame) const;

  private:
    cv::Size size_;
    std::uint64_t seed_;
    cv::Mat background_;
};

} // namespace zorvexa::render
