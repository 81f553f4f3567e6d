// The demo exercise session, "demo_session.avi": a person in front of the webcam doing
// a known sequence of strokes with rests in between. The motion analysis is expected to
// report exactly these strokes, in this order, each while its movement is under way.
#pragma once

#include <vector>

#include "main/motion/MotionDir.h"
#include "tools/render/Strokes.h"
#include "tools/render/Timeline.h"

namespace zorvexa::render {

constexpr int kDemoWidth = 320;
constexpr int kDemoHeight = 240;
constexpr int kDemoFps = 30;

struct DemoStep {
    Stroke stroke;
    MotionDir expected; // the direction the motion analysis reports for it
};

// The strokes of the session, in order.
const std::vector<DemoStep>& demoSteps();

struct ScriptedStroke {
    DemoStep step;
    StrokeSpan span; // frames of the session's timeline (0 is the first frame)
};

struct DemoSession {
    Timeline timeline;
    std::vector<ScriptedStroke> strokes;
};

DemoSession buildDemoSession();

} // namespace zorvexa::render
