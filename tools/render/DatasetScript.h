// The movements of the ground-truth clips: a person doing one to four strokes with rests
// in between, or one of the things people do in front of a webcam that are not strokes.
// Every choice comes from the random generator handed in, so a seed makes the same
// performance every time.
#pragma once

#include <string>
#include <vector>

#include <opencv2/core.hpp>

#include "main/motion/MotionDir.h"
#include "tools/render/Timeline.h"

namespace zorvexa::render {

// One stroke as the ground truth states it. Frames are counted as the analyzer counts
// them: 1 is the first frame of the clip. `start` is the last frame before the quick
// movement, `end` the frame in which the arms arrive.
struct TruthStroke {
    MotionDir type = kDirNone;
    int start = 0;
    int end = 0;
};

// The plane the arms swing in and how the elbows bend.
struct ArmStyle {
    double plane = 0.0; // degrees forward of the body's side plane
    double bend = 0.0;  // forearm raised this much further than the upper arm
};

enum class Distractor { Still, Sway, Drift, Scratch, Walker, Light };
constexpr int kDistractorKinds = 6;
const char* distractorName(Distractor d);

struct Performance {
    Timeline timeline;
    std::vector<TruthStroke> strokes; // the arms as the timeline has them (not mirrored)
    std::string summary;              // what happens, for the clip index
};

// One to four strokes of random types, speeds (a quarter to two thirds of a second) and
// amplitudes, with the slow preparations they need, holds and rests.
Performance strokePerformance(cv::RNG& rng, const ArmStyle& style);

// A clip without strokes. Sway, Walker and Light only stand still here; the swaying,
// the passer-by and the light are the filming's part.
Performance distractorPerformance(cv::RNG& rng, const ArmStyle& style, Distractor kind);

} // namespace zorvexa::render
