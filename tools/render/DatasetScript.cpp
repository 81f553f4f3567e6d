#include "tools/render/DatasetScript.h"

#include <algorithm>
#include <cmath>

namespace zorvexa::render {

namespace {

constexpr double kRestElevation = 4.0;

double uniform(cv::RNG& rng, double a, double b) {
    return rng.uniform(a, b);
}

int frames(cv::RNG& rng, int a, int b) {
    return rng.uniform(a, b + 1);
}

// The person's arms: elevation of each arm in the style's plane, plus body posture.
struct Stance {
    double left = kRestElevation;
    double right = kRestElevation;
    double lift = 0.0;
    double shift = 0.0;
};

Pose poseOf(const Stance& s, const ArmStyle& style) {
    Pose p;
    // Hanging arms are straight; the bend grows as the arm rises, and a raised forearm
    // does not reach far over the head.
    const auto arm = [&](double e) {
        const double b = std::min(style.bend * std::clamp((e - 20.0) / 60.0, 0.0, 1.0),
                                  std::max(0.0, 185.0 - e));
        return armInPlane(e, style.plane, b);
    };
    p.left = arm(s.left);
    p.right = arm(s.right);
    p.lift = s.lift;
    p.shiftX = s.shift;
    return p;
}

Stance mix(const Stance& a, const Stance& b, double u) {
    return Stance{a.left + (b.left - a.left) * u, a.right + (b.right - a.right) * u,
                  a.lift + (b.lift - a.lift) * u, a.shift + (b.shift - a.shift) * u};
}

// Builds the timeline a frame at a time, so that arms swinging in a plane turned towards
// the camera are seen along their true path.
class Mover {
  public:
    explicit Mover(const ArmStyle& style) : style_(style) {}

    Timeline& timeline() { return t_; }
    const Stance& stance() const { return now_; }
    int frame() const { return t_.endFrame(); }

    // Moves to `to` over `n` frames; the right arm may lag behind the left by `lag`
    // frames (negative: the left lags).
    void move(const Stance& to, int n, Ease e, int lag = 0) {
        const Stance from = now_;
        const int total = n + std::abs(lag);
        for (int k = 1; k <= total; ++k) {
            const double ul = ease(e, (k - std::max(0, -lag)) / static_cast<double>(n));
            const double ur = ease(e, (k - std::max(0, lag)) / static_cast<double>(n));
            Stance s = mix(from, to, ul);
            s.right = from.right + (to.right - from.right) * ur;
            add(s);
        }
        now_ = to;
    }
    // Stays put, breathing a little.
    void hold(int n) {
        for (int k = 0; k < n; ++k) {
            Stance s = now_;
            s.lift += 0.004 * std::sin((t_.endFrame() + 1) * 0.09);
            add(s);
        }
    }
    void rest(int n) { hold(n); }
    // A raw pose key (for movements outside the arm model).
    void key(const Pose& p, int n, Ease e, Path path) { t_.moveTo(p, n, e, path); }
    void setStance(const Stance& s) { now_ = s; }
    Pose poseAt(const Stance& s) const { return poseOf(s, style_); }

  private:
    void add(const Stance& s) { t_.moveTo(poseOf(s, style_), 1, Ease::Linear); }

    ArmStyle style_;
    Timeline t_;
    Stance now_;
};

Ease strokeEase(cv::RNG& rng) {
    switch (rng.uniform(0, 3)) {
    case 0:
        return Ease::Swift;
    case 1:
        return Ease::Smooth;
    default:
        return Ease::Linear;
    }
}

// The quick part of a stroke: 0.25 to 0.65 s at 30 frames a second.
int strokeFrames(cv::RNG& rng) {
    return frames(rng, 8, 20);
}

bool overhead(const Stance& s) {
    return s.left > 120.0 && s.right > 120.0;
}

Stance atRest() {
    return Stance{};
}

void lowerSlowly(Mover& m, cv::RNG& rng) {
    m.move(atRest(), frames(rng, 40, 66), Ease::Smooth);
    m.rest(frames(rng, 12, 24));
}

TruthStroke up(Mover& m, cv::RNG& rng) {
    if (overhead(m.stance()))
        lowerSlowly(m, rng);
    const double top = uniform(rng, 138.0, 175.0);
    const int n = strokeFrames(rng);
    const int lag = rng.uniform(-2, 3);
    TruthStroke s{kDirUp, m.frame() + 1, 0};
    m.move(Stance{top, top + uniform(rng, -6.0, 6.0), uniform(rng, 0.02, 0.09), m.stance().shift},
           n, strokeEase(rng), lag);
    s.end = m.frame() + 1;
    Stance settled = m.stance();
    settled.lift = uniform(rng, -0.05, 0.0);
    m.move(settled, frames(rng, 3, 6), Ease::Smooth);
    return s;
}

TruthStroke down(Mover& m, cv::RNG& rng) {
    if (!overhead(m.stance())) {
        const double top = uniform(rng, 145.0, 172.0);
        m.move(Stance{top, top, 0.0, 0.0}, frames(rng, 36, 60), Ease::Smooth);
        m.hold(frames(rng, 9, 30));
    }
    const int n = strokeFrames(rng);
    const int lag = rng.uniform(-2, 3);
    TruthStroke s{kDirDown, m.frame() + 1, 0};
    m.move(Stance{kRestElevation + uniform(rng, 0.0, 6.0), kRestElevation + uniform(rng, 0.0, 6.0),
                  uniform(rng, -0.1, -0.02), m.stance().shift},
           n, strokeEase(rng), lag);
    s.end = m.frame() + 1;
    m.move(atRest(), frames(rng, 8, 14), Ease::Smooth);
    return s;
}

// One arm (on the image's left or right) lifted out, held, and pulled down.
TruthStroke oneArm(Mover& m, cv::RNG& rng, bool left) {
    if (overhead(m.stance()))
        lowerSlowly(m, rng);
    const double top = uniform(rng, 100.0, 165.0);
    Stance lifted = atRest();
    (left ? lifted.left : lifted.right) = top;
    lifted.shift = (left ? 1.0 : -1.0) * uniform(rng, 0.0, 0.1);
    m.move(lifted, frames(rng, 30, 48), Ease::Smooth);
    m.hold(frames(rng, 6, 24));
    const int n = strokeFrames(rng);
    TruthStroke s{left ? kDirDownLeft : kDirDownRight, m.frame() + 1, 0};
    Stance pulled = atRest();
    pulled.lift = uniform(rng, -0.1, 0.03);
    m.move(pulled, n, strokeEase(rng));
    s.end = m.frame() + 1;
    m.move(atRest(), frames(rng, 10, 20), Ease::Smooth);
    return s;
}

// Arms opened wide, then the forearms brought together for a clap in front of the face.
TruthStroke clap(Mover& m, cv::RNG& rng) {
    if (overhead(m.stance()))
        lowerSlowly(m, rng);
    Pose open = openForClapPose();
    const double upper = 97.5 + uniform(rng, -12.0, 8.0);
    const double fore = 183.5 + uniform(rng, -10.0, 8.0);
    open.left = ArmPose{upper, fore, 1.0, 1.0};
    open.right = ArmPose{upper + uniform(rng, -4.0, 4.0), fore + uniform(rng, -4.0, 4.0), 1.0, 1.0};
    m.key(open, frames(rng, 30, 45), Ease::Smooth, Path::Arc);
    m.key(open, frames(rng, 6, 24), Ease::Linear, Path::Arc);
    Pose closed = clapPose();
    closed.lift = uniform(rng, -0.03, 0.02);
    TruthStroke s{kDirToCenter, m.timeline().endFrame() + 1, 0};
    m.key(closed, strokeFrames(rng), rng.uniform(0, 2) ? Ease::Smooth : Ease::Swift,
          Path::Straight);
    s.end = m.timeline().endFrame() + 1;
    m.key(closed, frames(rng, 3, 6), Ease::Linear, Path::Straight);
    m.setStance(atRest());
    m.key(m.poseAt(atRest()), frames(rng, 30, 45), Ease::Smooth, Path::Straight);
    return s;
}

} // namespace

const char* distractorName(Distractor d) {
    switch (d) {
    case Distractor::Still:
        return "still";
    case Distractor::Sway:
        return "sway";
    case Distractor::Drift:
        return "drift";
    case Distractor::Scratch:
        return "scratch";
    case Distractor::Walker:
        return "walker";
    case Distractor::Light:
        return "light";
    }
    return "?";
}

Performance strokePerformance(cv::RNG& rng, const ArmStyle& style) {
    Mover m(style);
    m.rest(frames(rng, 20, 45));
    Performance p;
    const int count = rng.uniform(1, 5);
    static const MotionDir kTypes[] = {kDirUp, kDirDown, kDirDownLeft, kDirDownRight, kDirToCenter};
    for (int i = 0; i < count; ++i) {
        const MotionDir type = kTypes[rng.uniform(0, 5)];
        TruthStroke s;
        switch (type) {
        case kDirUp:
            s = up(m, rng);
            // Holding the arms up: either the next stroke pulls them down, or they are
            // lowered slowly afterwards.
            m.hold(frames(rng, 12, 45));
            break;
        case kDirDown:
            s = down(m, rng);
            break;
        case kDirDownLeft:
        case kDirDownRight:
            s = oneArm(m, rng, type == kDirDownLeft);
            break;
        default:
            s = clap(m, rng);
            break;
        }
        p.strokes.push_back(s);
        m.rest(frames(rng, 24, 45));
    }
    if (overhead(m.stance()))
        lowerSlowly(m, rng);
    m.rest(frames(rng, 30, 45));
    p.timeline = m.timeline();
    p.summary = std::to_string(p.strokes.size()) + " strokes";
    return p;
}

Performance distractorPerformance(cv::RNG& rng, const ArmStyle& style, Distractor kind) {
    Mover m(style);
    Performance p;
    p.summary = distractorName(kind);
    switch (kind) {
    case Distractor::Drift: {
        // The arms wander slowly away from the body and back, one or both.
        m.rest(frames(rng, 15, 30));
        const int which = rng.uniform(0, 3);
        Stance out = atRest();
        const double e = uniform(rng, 20.0, 75.0);
        if (which != 1)
            out.left = e;
        if (which != 0)
            out.right = e + uniform(rng, -10.0, 10.0);
        out.shift = uniform(rng, -0.04, 0.04);
        m.move(out, frames(rng, 50, 90), Ease::Smooth);
        m.hold(frames(rng, 15, 40));
        m.move(atRest(), frames(rng, 50, 90), Ease::Smooth);
        m.rest(frames(rng, 15, 30));
        break;
    }
    case Distractor::Scratch: {
        // One hand goes up to the head, scratches, and comes down again, all calmly.
        m.rest(frames(rng, 15, 30));
        const bool left = rng.uniform(0, 2) == 0;
        Pose at = poseOf(atRest(), style);
        ArmPose scratching{uniform(rng, 128.0, 145.0), uniform(rng, 244.0, 256.0), 1.0, 1.0};
        Pose up = at;
        (left ? up.left : up.right) = scratching;
        up.headTilt = (left ? 1.0 : -1.0) * uniform(rng, 2.0, 8.0);
        m.key(up, frames(rng, 36, 54), Ease::Smooth, Path::Arc);
        const int period = frames(rng, 5, 8);
        const int rubs = frames(rng, 4, 9);
        for (int i = 0; i < rubs; ++i) {
            Pose rub = up;
            ArmPose& a = left ? rub.left : rub.right;
            a.fore += (i % 2 ? -1.0 : 1.0) * uniform(rng, 5.0, 10.0);
            m.key(rub, period, Ease::Smooth, Path::Arc);
        }
        m.key(at, frames(rng, 36, 54), Ease::Smooth, Path::Arc);
        m.key(at, frames(rng, 15, 30), Ease::Linear, Path::Arc);
        break;
    }
    case Distractor::Still:
    case Distractor::Sway:
    case Distractor::Walker:
    case Distractor::Light:
        m.rest(frames(rng, 100, 150));
        break;
    }
    p.timeline = m.timeline();
    return p;
}

} // namespace zorvexa::render
