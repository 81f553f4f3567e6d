#include "main/motion/robust/StrokeSegmenter.h"

#include <algorithm>
#include <cmath>

namespace zorvexa::robust {

namespace {

int framesFor(double seconds, int fps) {
    return std::max(1, static_cast<int>(std::lround(seconds * fps)));
}

// Mass-weighted straight-line fit of one side's centre over the stroke's frames: the
// displacement along the fit, the mean position and where the motion began.
struct Track {
    double mass = 0, dx = 0, dy = 0, meanX = 0, startX = 0;
};

template <typename Side> Track fitTrack(const std::vector<FrameMotion>& frames, Side side) {
    Track t;
    double sw = 0, st = 0, sx = 0, sy = 0;
    int first = -1, last = -1;
    for (size_t i = 0; i < frames.size(); ++i) {
        const SideMotion& m = side(frames[i]);
        if (m.mass <= 0)
            continue;
        sw += m.mass;
        st += m.mass * static_cast<double>(i);
        sx += m.mass * m.x;
        sy += m.mass * m.y;
        if (first < 0)
            first = static_cast<int>(i);
        last = static_cast<int>(i);
    }
    t.mass = sw;
    if (sw <= 0)
        return t;
    const double mt = st / sw, mx = sx / sw, my = sy / sw;
    double stt = 0, stx = 0, sty = 0, early = 0, earlyX = 0;
    for (size_t i = 0; i < frames.size(); ++i) {
        const SideMotion& m = side(frames[i]);
        if (m.mass <= 0)
            continue;
        const double dt = static_cast<double>(i) - mt;
        stt += m.mass * dt * dt;
        stx += m.mass * dt * (m.x - mx);
        sty += m.mass * dt * (m.y - my);
        if (early < sw / 3) {
            early += m.mass;
            earlyX += m.mass * m.x;
        }
    }
    t.meanX = mx;
    t.startX = earlyX / early;
    if (stt > 0) {
        const double span = last - first;
        t.dx = stx / stt * span;
        t.dy = sty / stt * span;
    }
    return t;
}

} // namespace

void StrokeSegmenter::reset() {
    state_ = State::Idle;
    frames_.clear();
    peak_ = 0;
    below_ = 0;
    wait_ = 0;
}

MotionDir StrokeSegmenter::step(const FrameMotion& motion, int fps, double centre) {
    fps = std::max(fps, 5);
    const double energy = motion.left.mass + motion.right.mass;
    if (motion.globalChange) {
        // Nothing seen across a change of the whole picture can be trusted.
        frames_.clear();
        state_ = State::WaitQuiet;
        return kDirNone;
    }
    switch (state_) {
    case State::Idle:
        if (energy >= tuning_.onsetMass) {
            state_ = State::Active;
            frames_.clear();
            frames_.push_back(motion);
            peak_ = energy;
            below_ = 0;
        }
        return kDirNone;
    case State::Active: {
        frames_.push_back(motion);
        peak_ = std::max(peak_, energy);
        if (energy < std::max(tuning_.quietMass, tuning_.endFraction * peak_))
            ++below_;
        else
            below_ = 0;
        if (static_cast<int>(frames_.size()) > framesFor(tuning_.maxSeconds, fps)) {
            // Slow drift, or motion that never stops: no stroke.
            frames_.clear();
            state_ = State::WaitQuiet;
            return kDirNone;
        }
        if (below_ < framesFor(tuning_.endFrames / 30.0, fps))
            return kDirNone;
        frames_.resize(frames_.size() - static_cast<size_t>(below_));
        shape_ = measure(centre);
        frames_.clear();
        state_ = State::Refractory;
        wait_ = framesFor(tuning_.refractorySeconds, fps);
        return classify(shape_, fps);
    }
    case State::Refractory:
        if (--wait_ > 0)
            return kDirNone;
        state_ = State::WaitQuiet;
        [[fallthrough]];
    case State::WaitQuiet:
        if (energy < tuning_.onsetMass)
            state_ = State::Idle;
        return kDirNone;
    }
    return kDirNone;
}

StrokeShape StrokeSegmenter::measure(double centre) const {
    const Track l =
        fitTrack(frames_, [](const FrameMotion& f) -> const SideMotion& { return f.left; });
    const Track r =
        fitTrack(frames_, [](const FrameMotion& f) -> const SideMotion& { return f.right; });
    StrokeShape s;
    s.frames = static_cast<int>(frames_.size());
    s.leftMass = l.mass;
    s.rightMass = r.mass;
    s.leftDx = l.dx;
    s.leftDy = l.dy;
    s.rightDx = r.dx;
    s.rightDy = r.dy;
    s.leftX = l.meanX;
    s.rightX = r.meanX;
    s.leftOut = l.mass > 0 ? centre - l.startX : 0;
    s.rightOut = r.mass > 0 ? r.startX - centre : 0;
    return s;
}

MotionDir StrokeSegmenter::classify(const StrokeShape& s, int fps) const {
    fps = std::max(fps, 5);
    if (s.frames < std::max(2, framesFor(tuning_.minSeconds, fps)))
        return kDirNone;
    const double total = s.leftMass + s.rightMass;
    if (total <= 0)
        return kDirNone;
    const double leftShare = s.leftMass / total;
    if (leftShare >= tuning_.soloShare || 1 - leftShare >= tuning_.soloShare) {
        const bool left = leftShare >= tuning_.soloShare;
        const double dy = left ? s.leftDy : s.rightDy;
        const double out = left ? s.leftOut : s.rightOut;
        if (dy >= tuning_.minSoloDrop && out >= tuning_.minSoloOut)
            return left ? kDirDownLeft : kDirDownRight;
        return kDirNone;
    }
    if (s.leftMass < tuning_.minSideMass || s.rightMass < tuning_.minSideMass)
        return kDirNone;
    if (s.leftDy <= -tuning_.minRise && s.rightDy <= -tuning_.minRise)
        return kDirUp;
    if (s.leftDy >= tuning_.minRise && s.rightDy >= tuning_.minRise)
        return kDirDown;
    const double inLeft = s.leftDx, inRight = -s.rightDx;
    const double rise = std::max(std::abs(s.leftDy), std::abs(s.rightDy));
    if (inLeft >= tuning_.minInward && inRight >= tuning_.minInward &&
        rise < 2 * std::min(inLeft, inRight) + tuning_.minRise)
        return kDirToCenter;
    return kDirNone;
}

} // namespace zorvexa::robust
