// Films an animated figure: each frame is the figure in front of the scene, with the
// short motion blur of a webcam's exposure and the camera's noise and flicker.
#pragma once

#include <cstdint>
#include <functional>

#include <opencv2/core.hpp>

#include "tools/render/Figure.h"
#include "tools/render/Scene.h"
#include "tools/render/Timeline.h"

namespace zorvexa::render {

// Everything about a take besides the movement: who stands there, in which room, and
// what else happens in the picture. The defaults are those of the shipped clips.
struct Filming {
    Wardrobe clothes;
    Build build;
    SceneLook scene;
    bool mirrored = false; // the picture flipped left to right, as many webcams show it
    // Sideways sway of the whole body: amplitude in body units, period in frames.
    double sway = 0.0;
    double swayPeriod = 90.0;
    double swayPhase = 0.0;
    // Drawn onto the room before the person, at a (fractional) frame time: someone
    // passing behind.
    std::function<void(cv::Mat& picture, double frame)> behind;
};

class Footage {
  public:
    Footage(Timeline timeline, cv::Size size, const Placement& at, std::uint64_t seed,
            Filming filming = Filming{});

    int frameCount() const { return timeline_.frameCount(); }
    const Timeline& timeline() const { return timeline_; }
    const Filming& filming() const { return filming_; }
    const Placement& placement() const { return at_; }

    // Frame `index` (0-based), 8-bit BGR.
    cv::Mat frame(int index) const;

  private:
    Pose poseAt(double frame) const;

    Timeline timeline_;
    Placement at_;
    Filming filming_;
    Scene scene_;
};

// Where the figure stands in a picture of the given size: a webcam user fills a 4:3
// picture from the hips up; in the square guide pane the figure stands lower and smaller
// so that raised hands stay clear of the caption box at the top.
Placement webcamPlacement(cv::Size size);
Placement guidePlacement(cv::Size size);

} // namespace zorvexa::render
