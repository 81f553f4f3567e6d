// Films an animated figure: each frame is the figure in front of the scene, with the
// short motion blur of a webcam's exposure and the camera's noise and flicker.
#pragma once

#include <cstdint>

#include <opencv2/core.hpp>

#include "tools/render/Figure.h"
#include "tools/render/Scene.h"
#include "tools/render/Timeline.h"

namespace zorvexa::render {

class Footage {
  public:
    Footage(Timeline timeline, cv::Size size, const Placement& at, std::uint64_t seed);

    int frameCount() const { return timeline_.frameCount(); }
    const Timeline& timeline() const { return timeline_; }

    // Frame `index` (0-based), 8-bit BGR.
    cv::Mat frame(int index) const;

  private:
    Timeline timeline_;
    Placement at_;
    Scene scene_;
};

// Where the figure stands in a picture of the given size: a webcam user fills a 4:3
// picture from the hips up; in the square guide pane the figure stands lower and smaller
// so that raised hands stay clear of the caption box at the top.
Placement webcamPlacement(cv::Size size);
Placement guidePlacement(cv::Size size);

} // namespace zorvexa::render
