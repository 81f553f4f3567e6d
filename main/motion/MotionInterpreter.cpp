#include "main/motion/MotionInterpreter.h"

#include <cstdlib>

#include "common/StageTiming.h"
#include "main/shell/AppState.h"

namespace zorvexa {

int segmentDirection(double a) {
    if (a > 50 && a < 130)
        return kDirDown;
    if (a > 230 && a < 310)
        return kDirUp;
    if ((a > 315 && a <= 360) || (a >= 0 && a < 45))
        return kDirLeftToRight;
    if (a > 135 && a < 225)
        return kDirRightToLeft;
    return kDirNone;
}

namespace {

int classifyOne(const MotionSegment& s0, int w) {
    const int d0 = segmentDirection(s0.angle);
    const int offset = 2 * s0.x + s0.width - w;
    const int centred = s0.width - std::abs(offset);
    switch (d0) {
    case kDirUp:
        return centred > w * 0.5 ? kDirUp : 0;
    case kDirDown:
        if (centred > w * 0.5)
            return kDirDown;
        if (s0.width > w * 0.1) {
            if (offset > 0)
                return kDirDownRight;
            if (offset < 0)
                return kDirDownLeft;
        }
        return 0;
    case kDirLeftToRight:
        return s0.width > w * 0.7 ? kDirLeftToRight : 0;
    case kDirRightToLeft:
        return s0.width > w * 0.7 ? kDirRightToLeft : 0;
    default:
        return 0;
    }
}

int classifyTwo(const MotionSegment& s0, const MotionSegment& s1, int w) {
    const int d0 = segmentDirection(s0.angle);
    const int d1 = segmentDirection(s1.angle);
    const int half = w / 2;
    const int third = w / 3;
    if (d0 == kDirLeftToRight && d1 == kDirRightToLeft)
        return (s0.x > third && s1.x < half) ? kClassOpposedRightFirst : 0;
    if (d0 == kDirRightToLeft && d1 == kDirLeftToRight)
        return ((s0.x > third && s1.x < half) || (s1.x > third && s0.x < half))
                   ? kClassOpposedLeftFirst
                   : 0;
    if (d0 == kDirUp) {
        if (d1 == kDirUp && ((s0.x < half && s1.x > third) || (s0.x > third && s1.x < half)))
            return kDirUp;
        return kDirUpLeft;
    }
    if (d1 == kDirUp)
        return kDirUpRight;
    if (d0 == kDirDown && d1 == kDirDown) {
        const int c0 = s0.x + s0.width / 2;
        const int c1 = s1.x + s1.width / 2;
        return ((c0 < half && c1 > half) || (c0 > half && c1 < half)) ? kDirDown : 0;
    }
    return 0;
}

} // namespace

int classifySample(MotionSample& sample, int frameWidth) {
    if (sample.sampleClass != 0)
        return sample.sampleClass;
    int cls;
    const auto& segs = sample.segments;
    if (segs.empty() || segs.size() > 2)
        cls = kClassNoSegments;
    else if (segs.size() == 1)
        cls = classifyOne(segs[0], frameWidth);
    else
        cls = classifyTwo(segs[0], segs[1], frameWidth);
    if (cls != 0)
        sample.sampleClass = cls;
    return cls;
}

MotionSample& SampleHistory::pushBack() {
    if (size_ == slots_.size()) {
        // Grow, keeping the oldest-first order from slot 0.
        std::vector<MotionSample> grown;
        grown.reserve(slots_.empty() ? 64 : slots_.size() * 2);
        for (size_t i = 0; i < size_; ++i)
            grown.push_back(std::move((*this)[i]));
        grown.resize(grown.capacity());
        slots_ = std::move(grown);
        head_ = 0;
    }
    MotionSample& slot = slots_[(head_ + size_) % slots_.size()];
    ++size_;
    return slot;
}

void SampleHistory::popFront() {
    if (size_ == 0)
        return;
    head_ = (head_ + 1) % slots_.size();
    --size_;
}

MotionInterpreter::MotionInterpreter(int frameWidth, AppState* state)
    : frameWidth_(frameWidth), state_(state) {}

void MotionInterpreter::addSample(const std::vector<MotionSegment>& segments, int maxLength,
                                  int timestamp) {
    timing::Scope timed(timing::Stage::Interpret);
    MotionSample& s = history_.pushBack();
    s.sampleClass = 0;
    s.timestamp = timestamp;
    s.segments.assign(segments.begin(), segments.end());
    if (history_.size() > static_cast<size_t>(maxLength < 0 ? 0 : maxLength))
        history_.popFront();
}

int MotionInterpreter::interpret() {
    timing::Scope timed(timing::Stage::Interpret);
    int result = 0;
    if (history_.size() > 3) {
        int upSingle = 0, downSingle = 0, rightDown = 0, leftDown = 0, horizontal = 0;
        float upPair = 0.0f, downPair = 0.0f;
        int count11 = 0, count12 = 0, time11 = -1, time12 = -1;

        for (size_t i = 0; i < history_.size(); ++i) {
            MotionSample& s = history_[i];
            const size_t n = s.segments.size();
            switch (classifySample(s, frameWidth_)) {
            case kDirUp:
                if (n == 1)
                    ++upSingle;
                else if (n == 2)
                    upPair += 1.0f;
                break;
            case kDirDown:
                if (n == 1)
                    ++downSingle;
                else if (n == 2)
                    downPair += 1.0f;
                break;
            case kDirDownRight:
                ++rightDown;
                break;
            case kDirDownLeft:
                ++leftDown;
                break;
            case kDirLeftToRight:
            case kDirRightToLeft:
                if (n == 1)
                    ++horizontal;
                break;
            case kClassOpposedLeftFirst:
                ++count11;
                time11 = s.timestamp;
                break;
            case kClassOpposedRightFirst:
                ++count12;
                time12 = s.timestamp;
                break;
            default:
                break;
            }
        }

        const int fps = state_->fps.load();
        if (upHold) {
            const int now = state_->frameCounter.load();
            int still = 0;
            for (size_t i = 0; i < history_.size(); ++i) {
                const MotionSample& s = history_[i];
                if (s.segments.empty() && s.timestamp < now)
                    ++still;
            }
            if (still > (fps * 20) / 30) {
                upHold = false;
                history_.clear();
            }
        }

        if (upSingle > downSingle) {
            result = kDirUp;
            upHold = true;
        } else if (upHold || history_.empty()) {
            result = 0;
        } else if (downSingle > upSingle || downPair > upPair) {
            result = kDirDown;
        } else if (count11 > 0 && count12 > 0 && time12 > time11 && time12 - time11 < 3) {
            result = kDirToCenter;
        } else if (horizontal > fps / 7) {
            result = kDirToCenter;
        } else if (leftDown - rightDown > fps / 15) {
            result = kDirDownLeft;
        } else if (rightDown - leftDown > fps / 15) {
            result = kDirDownRight;
        }
        if (result != 0)
            history_.clear();
    }
    lastDirection = result;
    return result;
}

} // namespace zorvexa
