#include "tools/render/Strokes.h"

namespace zorvexa::render {

namespace {

Pose raisedArms(double lift) {
    return symmetric(straightArm(157.8), lift);
}

bool armsOverhead(const Pose& p) {
    return p.left.upper > 120.0 && p.right.upper > 120.0;
}

int slow(Pace pace, int filmed, int guide) {
    return pace == Pace::Filmed ? filmed : guide;
}

StrokeSpan up(Timeline& t) {
    StrokeSpan span;
    span.first = t.endFrame();
    // A quick swing with a small hop of the shoulders, then the body settles.
    t.moveTo(raisedArms(0.089), 6, Ease::Swift);
    t.moveTo(raisedArms(-0.048), 3, Ease::Smooth);
    span.last = t.endFrame();
    return span;
}

StrokeSpan down(Timeline& t, Pace pace) {
    if (!armsOverhead(t.lastPose()))
        t.moveTo(raisedArms(0.0), slow(pace, 45, 12), Ease::Smooth);
    // Reach up a little further, then pull down hard, dipping the knees.
    t.moveTo(symmetric(straightArm(158.0)), slow(pace, 10, 4), Ease::Smooth);
    StrokeSpan span;
    span.first = t.endFrame();
    t.moveTo(symmetric(straightArm(5.8), -0.008), 13, Ease::Linear);
    t.moveTo(symmetric(straightArm(4.0), -0.094), 10, Ease::Smooth);
    span.last = t.endFrame();
    t.moveTo(restPose(), slow(pace, 30, 10), Ease::Smooth);
    return span;
}

StrokeSpan downLeft(Timeline& t, Pace pace) {
    // The arm goes out and up on the image's left while the body leans that way.
    Pose lifted = restPose();
    lifted.left = ArmPose{109.7, 111.9, 1.0, 1.0};
    lifted.shiftX = 0.114;
    t.moveTo(lifted, slow(pace, 37, 12), Ease::Smooth).hold(slow(pace, 10, 4));
    StrokeSpan span;
    span.first = t.endFrame();
    Pose pulled = restPose();
    pulled.lift = 0.027;
    t.moveTo(pulled, 9, Ease::Linear);
    span.last = t.endFrame();
    t.moveTo(restPose(), slow(pace, 20, 6), Ease::Smooth);
    return span;
}

StrokeSpan downRight(Timeline& t, Pace pace) {
    Pose lifted = restPose();
    lifted.right = ArmPose{131.1, 122.5, 1.0, 1.0};
    lifted.shiftX = 0.019;
    t.moveTo(lifted, slow(pace, 48, 12), Ease::Smooth).hold(slow(pace, 6, 4));
    StrokeSpan span;
    span.first = t.endFrame();
    Pose pulled = restPose();
    pulled.lift = -0.1;
    t.moveTo(pulled, 9, Ease::Linear);
    span.last = t.endFrame();
    t.moveTo(restPose(), slow(pace, 20, 6), Ease::Smooth);
    return span;
}

StrokeSpan clap(Timeline& t, Pace pace) {
    // Shoulders back, upper arms out, forearms up; then the forearms swing together.
    const Pose open = symmetric(ArmPose{97.5, 183.5, 1.0, 1.0}, 0.03);
    const Pose closed = symmetric(ArmPose{-74.8, 195.0, 0.53, 0.95});
    t.moveTo(open, slow(pace, 40, 12), Ease::Smooth).hold(slow(pace, 24, 5));
    StrokeSpan span;
    span.first = t.endFrame();
    t.moveTo(closed, 8, Ease::Smooth, Path::Straight).hold(3);
    span.last = t.endFrame();
    t.moveTo(restPose(), slow(pace, 35, 12), Ease::Smooth, Path::Straight);
    return span;
}

} // namespace

const char* strokeName(Stroke s) {
    switch (s) {
    case Stroke::Up:
        return "up";
    case Stroke::Down:
        return "down";
    case Stroke::DownLeft:
        return "down-left";
    case Stroke::DownRight:
        return "down-right";
    case Stroke::Clap:
        return "clap";
    }
    return "?";
}

StrokeSpan appendStroke(Timeline& t, Stroke stroke, Pace pace) {
    switch (stroke) {
    case Stroke::Up:
        return up(t);
    case Stroke::Down:
        return down(t, pace);
    case Stroke::DownLeft:
        return downLeft(t, pace);
    case Stroke::DownRight:
        return downRight(t, pace);
    case Stroke::Clap:
        return clap(t, pace);
    }
    return {};
}

} // namespace zorvexa::render
