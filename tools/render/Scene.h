// The room behind the person and the camera's imperfections: a lightly textured wall
// with a few fixtures, sensor noise and a mild lighting flicker. Everything is derived
// from a seed and the frame number, so a clip renders the same every time.
#pragma once

#include <cstdint>

#include <opencv2/core.hpp>

namespace zorvexa::render {

enum class WallPattern {
    Plaster,   // soft blotches
    Stripes,   // vertical wallpaper stripes
    Bookshelf, // a shelf of coloured books on one side
};

// How the room and the camera look. The defaults are the room of the shipped clips.
struct SceneLook {
    cv::Scalar wall{168, 150, 128}; // BGR of the wall where the light is brightest
    double texture = 5.0;           // strength of the wall's blotches
    WallPattern pattern = WallPattern::Plaster;
    bool fixtures = true; // the door frame, the picture and the shelf
    double noise = 2.2;   // sensor noise, standard deviation in grey levels
    double flicker = 0.010;
    // A slow change of the light over the clip (auto exposure, a cloud): relative
    // amplitude and period in frames.
    double drift = 0.0;
    double driftPeriod = 300.0;
    double driftPhase = 0.0;
    // A light switched on at this frame (negative: never), brightening the picture by
    // `switchGain` over a few frames, of which the camera's exposure takes back part.
    int switchFrame = -1;
    double switchGain = 1.0;
};

class Scene {
  public:
    Scene(cv::Size size, std::uint64_t seed, const SceneLook& look = SceneLook{});

    const cv::Mat& background() const { return background_; }

    // Adds sensor noise and the flicker of frame `frame` to a finished picture.
    void applyCamera(cv::Mat& picture, int frame) const;

  private:
    double lightAt(int frame) const;

    cv::Size size_;
    std::uint64_t seed_;
    SceneLook look_;
    cv::Mat background_;
};

} // namespace zorvexa::render
