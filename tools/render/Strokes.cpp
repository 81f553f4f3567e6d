#include "tools/render/Strokes.h"

namespace zorvexa::render {

namespace {

Pose raisedArms(double angle, double lift) {
    return symmetric(straightArm(angle), lift);
}

bool armsOverhead(const Pose& p) {
    return p.left.upper > 120.0 && p.right.upper > 120.0;
}

int slow(Pace pace, int filmed, int guide) {
    return pace == Pace::Filmed ? filmed : guide;
}

StrokeSpan up(Timeline& t, Pace pace) {
    StrokeSpan span;
    span.first = t.endFrame();
    // A quick swing with a small hop of the shoulders, then the body settles. The guide
    // pane shows a smaller figure, ten frames a second: the swing takes more frames there
    // and stops short of the caption box.
    if (pace == Pace::Filmed) {
        t.moveTo(raisedArms(157.8, 0.089), 6, Ease::Swift);
        t.moveTo(raisedArms(157.8, -0.048), 3, Ease::Smooth);
    } else {
        t.moveTo(raisedArms(145.7, 0.19), 14, Ease::Smooth);
        t.moveTo(raisedArms(145.7, 0.03), 9, Ease::Smooth);
    }
    span.last = t.endFrame();
    return span;
}

StrokeSpan down(Timeline& t, Pace pace) {
    if (!armsOverhead(t.lastPose()))
        t.moveTo(raisedArms(160.0, 0.0), slow(pace, 45, 12), Ease::Smooth);
    // Reach up a little further, then pull down hard, dipping the knees.
    t.moveTo(raisedArms(158.0, 0.0), slow(pace, 10, 4), Ease::Smooth);
    StrokeSpan span;
    span.first = t.endFrame();
    t.moveTo(raisedArms(5.8, -0.008), 13, Ease::Linear);
    t.moveTo(raisedArms(4.0, -0.094), 10, Ease::Smooth);
    span.last = t.endFrame();
    t.moveTo(restPose(), slow(pace, 30, 10), Ease::Smooth);
    return span;
}

// One arm lifted out to its side (the body leaning a little), held, then pulled down
// while the knees give.
struct OneArmStroke {
    ArmPose lifted;
    double lean;
    int liftFrames;
    int holdFrames;
    int pullFrames;
    Ease pull;
    double dip; // shoulders' height at the end of the pull (negative: lower)
    int settleFrames;
};

OneArmStroke oneArmStroke(bool left, Pace pace) {
    if (left) {
        return pace == Pace::Filmed
                   ? OneArmStroke{{109.7, 111.9, 1.0, 1.0},
                                  0.114,
                                  37,
                                  10,
                                  9,
                                  Ease::Linear,
                                  0.027,
                                  20}
                   : OneArmStroke{
                         {109.7, 111.9, 1.0, 1.0}, 0.114, 12, 4, 9, Ease::Linear, 0.027, 6};
    }
    return pace == Pace::Filmed
               ? OneArmStroke{{131.1, 122.5, 1.0, 1.0}, 0.019, 48, 6, 9, Ease::Linear, -0.1, 20}
               : OneArmStroke{{164.6, 146.5, 1.0, 1.0}, -0.002, 11, 4, 10, Ease::Swift, -0.132, 6};
}

StrokeSpan oneArmDown(Timeline& t, bool left, Pace pace) {
    const OneArmStroke s = oneArmStroke(left, pace);
    Pose lifted = restPose();
    (left ? lifted.left : lifted.right) = s.lifted;
    lifted.shiftX = s.lean;
    t.moveTo(lifted, s.liftFrames, Ease::Smooth).hold(s.holdFrames);
    StrokeSpan span;
    span.first = t.endFrame();
    Pose pulled = restPose();
    pulled.lift = s.dip;
    t.moveTo(pulled, s.pullFrames, s.pull);
    span.last = t.endFrame();
    t.moveTo(restPose(), s.settleFrames, Ease::Smooth);
    return span;
}

StrokeSpan clap(Timeline& t, Pace pace) {
    // Shoulders back, upper arms out, forearms up; then the forearms swing together.
    const Pose open = openForClapPose();
    const Pose closed = clapPose();
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
        return up(t, pace);
    case Stroke::Down:
        return down(t, pace);
    case Stroke::DownLeft:
        return oneArmDown(t, true, pace);
    case Stroke::DownRight:
        return oneArmDown(t, false, pace);
    case Stroke::Clap:
        return clap(t, pace);
    }
    return {};
}

} // namespace zorvexa::render
