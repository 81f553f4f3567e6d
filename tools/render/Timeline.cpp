#include "tools/render/Timeline.h"

#include <algorithm>

namespace zorvexa::render {

double ease(Ease e, double t) {
    t = std::clamp(t, 0.0, 1.0);
    switch (e) {
    case Ease::Smooth:
        return t * t * (3.0 - 2.0 * t);
    case Ease::Swift: {
        const double u = 1.0 - t;
        return 1.0 - u * u * u;
    }
    case Ease::Linear:
        break;
    }
    return t;
}

Timeline::Timeline(const Pose& start) {
    keys_.push_back(Key{0, start, Ease::Linear, Path::Arc});
}

Timeline& Timeline::moveTo(const Pose& pose, int frames, Ease e, Path path) {
    keys_.push_back(Key{endFrame() + std::max(frames, 1), pose, e, path});
    return *this;
}

Timeline& Timeline::hold(int frames) {
    if (frames > 0)
        keys_.push_back(Key{endFrame() + frames, lastPose(), Ease::Linear, Path::Arc});
    return *this;
}

int Timeline::frameCount() const {
    return endFrame() + 1;
}

int Timeline::endFrame() const {
    return keys_.back().frame;
}

const Pose& Timeline::lastPose() const {
    return keys_.back().pose;
}

Pose Timeline::poseAt(double frame) const {
    if (frame <= keys_.front().frame)
        return keys_.front().pose;
    // The first key at or after the time ends the current move.
    auto next = std::lower_bound(keys_.begin(), keys_.end(), frame,
                                 [](const Key& k, double f) { return k.frame < f; });
    if (next == keys_.end())
        return keys_.back().pose;
    const Key& prev = *(next - 1);
    const double t = (frame - prev.frame) / (next->frame - prev.frame);
    return blend(prev.pose, next->pose, ease(next->ease, t), next->path);
}

} // namespace zorvexa::render
