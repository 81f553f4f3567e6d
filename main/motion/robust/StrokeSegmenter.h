// Cuts the motion of the two body halves into strokes and names each stroke once it
// ends. Works on per-frame measurements only (no images), so it is tested on motion
// made by hand.
//
// A stroke starts when the motion energy rises above the onset level and ends when it
// falls below a fraction of its own peak; it is then classified by the pair of arm
// trajectories: both halves up (UP, by the middle or the top of their moving pixels),
// both down (DOWN), both inwards (TOCENTER), or one half down while the other does not
// go down with it (DOWNLEFT on the picture's left, DOWNRIGHT on its right). Which is
// which does not hang on the share of the motion on each side, which is off while the
// centre line is not known yet: the other half goes down with the one when it travels a
// good part of the way too and is a second arm, not the one arm reaching over the line.
// A clap is checked first, and both arms must travel quickly. Motion that
// lasts too long (slow drift, lifting the arms before a pull), covers the whole picture
// (a light switched on), moves nothing far enough (swaying), moves far less than this
// person's strokes so far, or lowers the hands right after a clap is no stroke. After a
// report a refractory period passes before the next stroke may start.
#pragma once

#include <cstddef>
#include <vector>

#include "main/motion/MotionDir.h"

namespace zorvexa::robust {

// Moving pixels on one side of the body's centre line in one frame. `mass` is the
// fraction of the whole picture that moved on this side; x and y, the centre of those
// pixels, are in picture widths and heights (0..1, y downwards).
struct SideMotion {
    double mass = 0;
    double x = 0;
    double y = 0;
    double reach = 0; // the moving pixel furthest out on this side
    double top = 0;   // the highest moving pixel on this side
};

struct FrameMotion {
    SideMotion left;
    SideMotion right;
    bool globalChange = false; // most of the picture changed at once (lighting, camera)
};

// What a finished stroke looked like, for diagnostics and the centre-line estimate.
struct StrokeShape {
    int frames = 0;  // frames above the end level, from the first to the last
    double peak = 0; // the highest energy of one frame
    double leftMass = 0, rightMass = 0;
    double leftDx = 0, leftDy = 0, rightDx = 0, rightDy = 0; // displacement, picture units
    double leftX = 0, rightX = 0;                            // mean position of each side
    double leftReach = 0, rightReach = 0; // how far out each side's motion reached, on average
    double leftOut = 0, rightOut = 0;     // how far out from the centre line each side began
    double split = 0.5;                   // the centre line the halves were split at
    double leftTopDy = 0, rightTopDy = 0; // how far the top of each side's motion moved
};

struct SegmenterTuning {
    double onsetMass = 0.012;    // energy that starts a stroke
    double quietMass = 0.004;    // energy below which the picture counts as still
    double endFraction = 0.30;   // a stroke ends below this fraction of its peak energy
    double minSideMass = 0.025;  // summed mass for a half to count as moving
    double minRise = 0.10;       // vertical travel of an arm for UP / DOWN
    double minSoloDrop = 0.10;   // vertical travel of the one arm for DOWNLEFT / DOWNRIGHT
    double minInward = 0.035;    // horizontal travel of each arm for TOCENTER
    double clapTilt = 0.5;       // inward travel per vertical one, forearms alike, top not rising
    double minPairShare = 0.15;  // the weaker half's share of the mass in a two-arm stroke
    double minPairSpeed = 0.026; // vertical travel per frame (at 30 frames a second), faster arm
    double soloWith = 0.3;       // the other half's drop below this share of the one's
    double soloAgainst = 0.5;    // and its rise below this share
    double secondArmShare = 0.3; // a share of the motion that makes the other half an arm
    double secondArmOut = 0.5;   // or its distance from the centre line, of the one arm's
    double minArmOut = 0.1;      // an arm this close to the centre line may reach over it
    double minSoloSpeed = 0.012; // the one arm's drop per frame (at 30 frames a second)
    double maxSeconds = 0.75;    // longer motion (above the end level) is drift, not a stroke
    double minSeconds = 0.08;
    double refractorySeconds = 0.4;
    double clapReturnSeconds = 1.5; // a movement down that starts this soon after a clap
    double minRelativeMass = 0.2;   // a stroke moves at least this share of the usual mass
    int endFrames = 1;              // frames below the end level (at 30 frames a second)
};

class StrokeSegmenter {
  public:
    explicit StrokeSegmenter(SegmenterTuning tuning = {}) : tuning_(tuning) {
        frames_.reserve(64);
        lead_.reserve(kLeadFrames);
    }

    // One frame's motion; returns the stroke that ended with it, or 0. `centre` is the
    // centre line the halves were split at (picture widths).
    MotionDir step(const FrameMotion& motion, int fps, double centre);
    void reset();

    // The stroke classified last, whether or not it was reported.
    const StrokeShape& lastShape() const { return shape_; }
    // How many strokes were measured so far (reported or not).
    int strokesMeasured() const { return measured_; }
    bool inStroke() const { return state_ == State::Active; }

    // Names a finished stroke (0: none); exposed for tests.
    MotionDir classify(const StrokeShape& shape, int fps) const;

  private:
    enum class State { Idle, Active, Refractory, WaitQuiet };
    // A movement already under way when the analysis starts is not taken for a stroke:
    // the first onset needs this many still frames before it.
    static constexpr int kStartQuietFrames = 4;
    static constexpr std::size_t kLeadFrames = 12;
    StrokeShape measure(double centre) const;
    void startStroke(const FrameMotion& motion);

    SegmenterTuning tuning_;
    State state_ = State::WaitQuiet;
    int quietNeeded_ = kStartQuietFrames; // still frames before the next onset may start
    std::vector<FrameMotion> frames_;
    std::vector<FrameMotion> lead_; // the frames before an onset, oldest first
    double peak_ = 0;
    int below_ = 0;
    int wait_ = 0;
    StrokeShape shape_;
    int measured_ = 0;
    MotionDir lastReport_ = kDirNone;
    int sinceReport_ = 0; // frames since the last report
    bool afterClap_ = false;
    double typicalMass_ = 0; // mass of the strokes reported so far (running mean)
};

} // namespace zorvexa::robust
