// The pose of the rendered person, in body units: 1 unit is the length of a straight arm
// from shoulder to the middle of the hand. Image-left and image-right are the sides of
// the picture, not of the person, so a stroke "on the left" is one a viewer sees on the
// left.
#pragma once

namespace zorvexa::render {

// Lengths of the two parts of the arm in body units; together one unit.
constexpr double kUpperArmLength = 0.5;
constexpr double kForearmLength = 0.5;

// One arm. Directions are in degrees: 0 hangs straight down, 90 points horizontally away
// from the body, 180 points straight up, and values below 0 reach across the body.
// A part pointing towards the camera looks shorter: its length is a fraction of the
// real one.
struct ArmPose {
    double upper = 4.0;    // direction of the upper arm
    double fore = 4.0;     // direction of the forearm
    double upperLen = 1.0; // seen length of the upper arm, 0..1
    double foreLen = 1.0;  // seen length of the forearm, 0..1
};

struct Pose {
    ArmPose left;          // the arm on the image's left side
    ArmPose right;         // the arm on the image's right side
    double shiftX = 0.0;   // sideways shift of the whole upper body
    double lift = 0.0;     // shoulders raised (positive) or dropped, body units
    double headTilt = 0.0; // degrees, positive tilts the top of the head to the image right
};

// How the arms travel between two poses.
enum class Path {
    Arc,      // joint angles turn evenly, as a swinging arm does
    Straight, // elbows and hands move on straight lines, as in a push or a clap
};

// Blend from `a` (t = 0) to `b` (t = 1).
Pose blend(const Pose& a, const Pose& b, double t, Path path = Path::Arc);

// A straight arm pointing in direction `angle`.
ArmPose straightArm(double angle, double seenLength = 1.0);
// An arm raised to `elevation` degrees (0 hanging, 90 horizontal, 180 straight up) in a
// vertical plane turned `plane` degrees forward from the side plane of the body (0:
// through the sides, about 30: the shoulder-blade plane, 90: straight in front), the
// forearm raised `bend` degrees further; as a camera in front of the person sees it.
ArmPose armInPlane(double elevation, double plane, double bend = 0.0);
// The same arm pose on both sides.
Pose symmetric(const ArmPose& arm, double lift = 0.0);

// Standing relaxed, arms hanging, hands below the bottom of the picture.
Pose restPose();
// Both arms stretched up in a narrow V above the head.
Pose overheadPose();
// Arms opened wide for a clap: upper arms out to the sides, forearms up, shoulders back.
Pose openForClapPose();
// Hands clapped together in front of the face, elbows in front of the chest.
Pose clapPose();

} // namespace zorvexa::render
