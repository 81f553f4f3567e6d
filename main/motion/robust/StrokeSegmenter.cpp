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
    double mass = 0, dx = 0, dy = 0, dtop = 0, meanX = 0, startX = 0, reach = 0;
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
        t.reach += m.mass * m.reach;
        if (first < 0)
            first = static_cast<int>(i);
        last = static_cast<int>(i);
    }
    t.mass = sw;
    if (sw <= 0)
        return t;
    double stop = 0;
    for (const FrameMotion& f : frames)
        stop += side(f).mass * side(f).top;
    const double mt = st / sw, mx = sx / sw, my = sy / sw, mtop = stop / sw;
    double stt = 0, stx = 0, sty = 0, sttop = 0, early = 0, earlyX = 0;
    for (size_t i = 0; i < frames.size(); ++i) {
        const SideMotion& m = side(frames[i]);
        if (m.mass <= 0)
            continue;
        const double dt = static_cast<double>(i) - mt;
        stt += m.mass * dt * dt;
        stx += m.mass * dt * (m.x - mx);
        sty += m.mass * dt * (m.y - my);
        sttop += m.mass * dt * (m.top - mtop);
        if (early < sw / 3) {
            early += m.mass;
            earlyX += m.mass * m.x;
        }
    }
    t.meanX = mx;
    t.reach /= sw;
    t.startX = earlyX / early;
    if (stt > 0) {
        const double span = last - first;
        t.dx = stx / stt * span;
        t.dy = sty / stt * span;
        t.dtop = sttop / stt * span;
    }
    return t;
}

} // namespace

static double energyOf(const FrameMotion& m) {
    return m.left.mass + m.right.mass;
}

void StrokeSegmenter::reset() {
    state_ = State::WaitQuiet;
    quietNeeded_ = kStartQuietFrames;
    frames_.clear();
    lead_.clear();
    peak_ = 0;
    below_ = 0;
    wait_ = 0;
    afterClap_ = false;
    lastReport_ = kDirNone;
    typicalMass_ = 0;
}

MotionDir StrokeSegmenter::step(const FrameMotion& motion, int fps, double centre) {
    fps = std::max(fps, 5);
    const double energy = energyOf(motion);
    sinceReport_ = std::min(sinceReport_ + 1, 1 << 30);
    if (motion.globalChange) {
        // Nothing seen across a change of the whole picture can be trusted.
        frames_.clear();
        lead_.clear();
        state_ = State::WaitQuiet;
        return kDirNone;
    }
    switch (state_) {
    case State::Idle:
        if (energy >= tuning_.onsetMass) {
            startStroke(motion);
            // After a clap the hands are in front of the face: the first movement down
            // that soon follows is their way back, not a stroke.
            afterClap_ = lastReport_ == kDirToCenter &&
                         sinceReport_ <= framesFor(tuning_.clapReturnSeconds, fps);
        } else {
            if (lead_.size() == kLeadFrames)
                lead_.erase(lead_.begin());
            lead_.push_back(motion);
        }
        return kDirNone;
    case State::Active: {
        frames_.push_back(motion);
        peak_ = std::max(peak_, energy);
        if (energy < std::max(tuning_.quietMass, tuning_.endFraction * peak_))
            ++below_;
        else
            below_ = 0;
        if (static_cast<int>(frames_.size()) > 2 * framesFor(tuning_.maxSeconds, fps)) {
            // Slow drift, or motion that never stops: no stroke.
            frames_.clear();
            state_ = State::WaitQuiet;
            return kDirNone;
        }
        if (below_ < framesFor(tuning_.endFrames / 30.0, fps))
            return kDirNone;
        frames_.resize(frames_.size() - static_cast<size_t>(below_));
        // Only the part above the end level counts: the lead-in before the onset and the
        // slow start of a calm movement belong to no stroke.
        const double level = std::max(tuning_.quietMass, tuning_.endFraction * peak_);
        size_t first = 0;
        while (first < frames_.size() && energyOf(frames_[first]) < level)
            ++first;
        frames_.erase(frames_.begin(), frames_.begin() + static_cast<std::ptrdiff_t>(first));
        shape_ = measure(centre);
        shape_.peak = peak_;
        ++measured_;
        frames_.clear();
        MotionDir found = classify(shape_, fps);
        if (afterClap_ && (found == kDirDown || found == kDirDownLeft || found == kDirDownRight))
            found = kDirNone;
        // Far less moving than in this person's strokes so far: a twitch of the body.
        // Compared per arm: a one-arm stroke moves about half of what a two-arm one does.
        const bool oneArm = found == kDirDownLeft || found == kDirDownRight;
        const double mass =
            (oneArm ? 2 : 1) * (found == kDirDownLeft    ? shape_.leftMass
                                : found == kDirDownRight ? shape_.rightMass
                                                         : shape_.leftMass + shape_.rightMass);
        if (found != kDirNone && mass < tuning_.minRelativeMass * typicalMass_)
            found = kDirNone;
        if (found != kDirNone)
            typicalMass_ = typicalMass_ > 0 ? typicalMass_ + 0.3 * (mass - typicalMass_) : mass;
        afterClap_ = false;
        if (found != kDirNone) {
            lastReport_ = found;
            sinceReport_ = 0;
        }
        // A refractory period follows a report; anything else may be followed at once.
        state_ = found != kDirNone ? State::Refractory : State::WaitQuiet;
        wait_ = framesFor(tuning_.refractorySeconds, fps);
        return found;
    }
    case State::Refractory:
        if (--wait_ > 0)
            return kDirNone;
        state_ = State::WaitQuiet;
        [[fallthrough]];
    case State::WaitQuiet:
        if (energy >= tuning_.onsetMass)
            return kDirNone;
        if (--quietNeeded_ <= 0) {
            state_ = State::Idle;
            quietNeeded_ = 1;
        }
        return kDirNone;
    }
    return kDirNone;
}

void StrokeSegmenter::startStroke(const FrameMotion& motion) {
    state_ = State::Active;
    frames_.clear();
    // The frames just before the onset in which something already moved are the
    // stroke's beginning.
    size_t from = lead_.size();
    while (from > 0 && energyOf(lead_[from - 1]) >= tuning_.quietMass)
        --from;
    frames_.insert(frames_.end(), lead_.begin() + static_cast<std::ptrdiff_t>(from), lead_.end());
    lead_.clear();
    frames_.push_back(motion);
    peak_ = energyOf(motion);
    below_ = 0;
}

StrokeShape StrokeSegmenter::measure(double centre) const {
    const Track l =
        fitTrack(frames_, [](const FrameMotion& f) -> const SideMotion& { return f.left; });
    const Track r =
        fitTrack(frames_, [](const FrameMotion& f) -> const SideMotion& { return f.right; });
    StrokeShape s;
    s.split = centre;
    s.frames = static_cast<int>(frames_.size());
    s.leftMass = l.mass;
    s.rightMass = r.mass;
    s.leftDx = l.dx;
    s.leftDy = l.dy;
    s.rightDx = r.dx;
    s.rightDy = r.dy;
    s.leftX = l.meanX;
    s.rightX = r.meanX;
    s.leftTopDy = l.dtop;
    s.rightTopDy = r.dtop;
    s.leftReach = l.reach;
    s.rightReach = r.reach;
    s.leftOut = l.mass > 0 ? centre - l.startX : 0;
    s.rightOut = r.mass > 0 ? r.startX - centre : 0;
    return s;
}

MotionDir StrokeSegmenter::classify(const StrokeShape& s, int fps) const {
    fps = std::max(fps, 5);
    if (s.frames < std::max(2, framesFor(tuning_.minSeconds, fps)) ||
        s.frames > framesFor(tuning_.maxSeconds, fps))
        return kDirNone;
    const double total = s.leftMass + s.rightMass;
    if (total <= 0)
        return kDirNone;
    const double leftShare = s.leftMass / total;
    const double minSoloSpeed = tuning_.minSoloSpeed * 30.0 / fps;
    const double weakerShare = std::min(leftShare, 1 - leftShare);
    const bool pair = s.leftMass >= tuning_.minSideMass && s.rightMass >= tuning_.minSideMass &&
                      weakerShare >= tuning_.minPairShare;
    // An arm raised in front of the body hides part of its own way up: the middle of its
    // moving pixels barely rises, the top of them does.
    const double leftRise = std::max(-s.leftDy, -s.leftTopDy);
    const double rightRise = std::max(-s.rightDy, -s.rightTopDy);
    // Both forearms swung towards the middle, further sideways than up or down. Checked
    // before a pull: the hands of a clap often sink a little, more on one side. When both
    // forearms move alike and the top of their motion does not rise (no arm going up),
    // the hands may sink or rise further than they come in: the forearm turns about the
    // elbow, and which part of it moved most shifts the middle of its moving pixels.
    const double inLeft = s.leftDx, inRight = -s.rightDx;
    const bool balanced = weakerShare >= tuning_.secondArmShare;
    const auto inwards = [&](double in, double dy, double rise, double topDy) {
        return in >= tuning_.minInward &&
               (in >= std::max(std::abs(dy), rise) ||
                (balanced && topDy >= 0 && in >= tuning_.clapTilt * std::abs(dy)));
    };
    if (pair && inwards(inLeft, s.leftDy, leftRise, s.leftTopDy) &&
        inwards(inRight, s.rightDy, rightRise, s.rightTopDy))
        return kDirToCenter;
    // One arm pulled down while the other half of the picture moves little, or only
    // sideways (the body leaning back): DOWNLEFT or DOWNRIGHT. How much a half moved
    // down is its moving mass times its drop.
    const double leftPull = s.leftMass * s.leftDy, rightPull = s.rightMass * s.rightDy;
    const bool left = leftPull >= rightPull;
    const double dy = left ? s.leftDy : s.rightDy;
    // The other half counts as moving with it when it travels down a good part of the
    // way too and is a second arm, not this arm reaching over the centre line: a good
    // share of the motion, or lying far out. The same tests whichever side is which, and
    // whatever share of the motion falls on each side when the centre line is off.
    const double otherDy = left ? s.rightDy : s.leftDy;
    const double otherShare = (left ? s.rightMass : s.leftMass) / total;
    const double armOut = std::abs((left ? s.leftX : s.rightX) - s.split);
    const double otherOut = std::abs((left ? s.rightX : s.leftX) - s.split);
    const bool secondArm =
        otherShare >= tuning_.minPairShare &&
        (otherShare >= tuning_.secondArmShare ||
         (armOut >= tuning_.minArmOut && otherOut >= tuning_.secondArmOut * armOut));
    const bool otherStill =
        !secondArm || (otherDy < tuning_.soloWith * dy && otherDy > -tuning_.soloAgainst * dy);
    if (dy >= tuning_.minSoloDrop && otherStill &&
        (left ? s.leftMass : s.rightMass) >= tuning_.minSideMass && dy / s.frames >= minSoloSpeed)
        return left ? kDirDownLeft : kDirDownRight;
    if (!pair)
        return kDirNone;
    // Both arms up or down, quickly: lowering the arms calmly after a clap or a hold
    // travels as far but takes longer.
    const double minSpeed = tuning_.minPairSpeed * 30.0 / fps;
    if (leftRise >= tuning_.minRise && rightRise >= tuning_.minRise &&
        std::max(leftRise, rightRise) / s.frames >= minSpeed)
        return kDirUp;
    const double speed = std::max(std::abs(s.leftDy), std::abs(s.rightDy)) / s.frames;
    if (speed < minSpeed)
        return kDirNone;
    if (s.leftDy >= tuning_.minRise && s.rightDy >= tuning_.minRise)
        return kDirDown;
    return kDirNone;
}

} // namespace zorvexa::robust
