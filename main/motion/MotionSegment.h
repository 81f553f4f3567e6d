#pragma once

namespace zorvexa {

// One significant motion region of a 160 x 120 processing frame.
struct MotionSegment {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    double angle = 0.0;     // degrees 0..360, image coordinates (about 90 down, 270 up)
    double timestamp = 0.0; // frame number at which it was measured
};

} // namespace zorvexa
