// A pose animation: key poses at frame numbers, eased in between. Frame numbers start
// at 0; before the first key and after the last one the pose stays put.
#pragma once

#include <vector>

#include "tools/render/Pose.h"

namespace zorvexa::render {

enum class Ease {
    Smooth, // slow start and end, as a relaxed movement
    Swift,  // quick start, soft stop: a firm stroke
    Linear,
};

class Timeline {
  public:
    explicit Timeline(const Pose& start = restPose());

    // Moves to `pose` over `frames` frames (at least 1).
    Timeline& moveTo(const Pose& pose, int frames, Ease ease = Ease::Smooth, Path path = Path::Arc);
    // Keeps the current pose for `frames` frames.
    Timeline& hold(int frames);

    // Number of frames up to and including the last key.
    int frameCount() const;
    // The frame of the last key (where the next move starts).
    int endFrame() const;
    const Pose& lastPose() const;

    // Pose at a (possibly fractional) frame time.
    Pose poseAt(double frame) const;

  private:
    struct Key {
        int frame;
        Pose pose;
        Ease ease;
        Path path;
    };
    std::vector<Key> keys_;
};

// Progress 0..1 through a move under an easing curve.
double ease(Ease e, double t);

} // namespace zorvexa::render
