#include "tools/render/DemoScript.h"

namespace zorvexa::render {

namespace {

// Standing still before the first stroke, between strokes and at the end. After a
// stroke the picture needs about two thirds of a second to calm down; the rest of the
// pause is what a person takes to breathe.
constexpr int kOpeningRest = 60;
constexpr int kRest = 40;
constexpr int kClosingRest = 70;
// After raising the arms the person keeps them up while standing still, long enough
// for the analysis to take the next movement as a stroke of its own.
constexpr int kOverheadHold = 45;

} // namespace

const std::vector<DemoStep>& demoSteps() {
    static const std::vector<DemoStep> steps = {
        {Stroke::Up, kDirUp},
        {Stroke::Down, kDirDown},
        {Stroke::DownLeft, kDirDownLeft},
        {Stroke::DownRight, kDirDownRight},
        {Stroke::Clap, kDirToCenter},
        {Stroke::Up, kDirUp},
        {Stroke::Down, kDirDown},
        {Stroke::DownRight, kDirDownRight},
        {Stroke::DownLeft, kDirDownLeft},
        {Stroke::Clap, kDirToCenter},
    };
    return steps;
}

DemoSession buildDemoSession() {
    DemoSession s;
    s.timeline.hold(kOpeningRest);
    for (const DemoStep& step : demoSteps()) {
        const StrokeSpan span = appendStroke(s.timeline, step.stroke, Pace::Filmed);
        s.strokes.push_back(ScriptedStroke{step, span});
        if (step.stroke == Stroke::Up)
            s.timeline.moveTo(symmetric(straightArm(160.0)), kOverheadHold, Ease::Linear);
        else
            s.timeline.hold(kRest);
    }
    s.timeline.hold(kClosingRest);
    return s;
}

} // namespace zorvexa::render
