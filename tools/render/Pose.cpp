#include "tools/render/Pose.h"

#include <cmath>

namespace zorvexa::render {

namespace {

constexpr double kPi = 3.14159265358979323846;

double mix(double a, double b, double t) {
    return a + (b - a) * t;
}

struct Vec {
    double x; // away from the body
    double y; // downwards
};

Vec along(double degrees, double length) {
    const double r = degrees * kPi / 180.0;
    return {length * std::sin(r), length * std::cos(r)};
}

double directionOf(const Vec& v) {
    return std::atan2(v.x, v.y) * 180.0 / kPi;
}

ArmPose blendArm(const ArmPose& a, const ArmPose& b, double t, Path path) {
    if (path == Path::Arc) {
        return ArmPose{mix(a.upper, b.upper, t), mix(a.fore, b.fore, t),
                       mix(a.upperLen, b.upperLen, t), mix(a.foreLen, b.foreLen, t)};
    }
    const Vec ea = along(a.upper, a.upperLen * kUpperArmLength);
    const Vec eb = along(b.upper, b.upperLen * kUpperArmLength);
    const Vec fa = along(a.fore, a.foreLen * kForearmLength);
    const Vec fb = along(b.fore, b.foreLen * kForearmLength);
    const Vec e{mix(ea.x, eb.x, t), mix(ea.y, eb.y, t)};
    const Vec f{mix(fa.x, fb.x, t), mix(fa.y, fb.y, t)};
    ArmPose out;
    out.upperLen = std::hypot(e.x, e.y) / kUpperArmLength;
    out.foreLen = std::hypot(f.x, f.y) / kForearmLength;
    // A part seen end-on keeps the direction it turns through.
    out.upper = out.upperLen > 1e-6 ? directionOf(e) : mix(a.upper, b.upper, t);
    out.fore = out.foreLen > 1e-6 ? directionOf(f) : mix(a.fore, b.fore, t);
    return out;
}

} // namespace

Pose blend(const Pose& a, const Pose& b, double t, Path path) {
    Pose p;
    p.left = blendArm(a.left, b.left, t, path);
    p.right = blendArm(a.right, b.right, t, path);
    p.shiftX = mix(a.shiftX, b.shiftX, t);
    p.lift = mix(a.lift, b.lift, t);
    p.headTilt = mix(a.headTilt, b.headTilt, t);
    return p;
}

ArmPose straightArm(double angle, double seenLength) {
    return ArmPose{angle, angle, seenLength, seenLength};
}

ArmPose armInPlane(double elevation, double plane, double bend) {
    const auto seen = [plane](double degrees, double& direction, double& length) {
        const double r = degrees * kPi / 180.0;
        const Vec v{std::sin(r) * std::cos(plane * kPi / 180.0), std::cos(r)};
        length = std::hypot(v.x, v.y);
        direction = length > 1e-6 ? directionOf(v) : degrees;
    };
    ArmPose arm;
    seen(elevation, arm.upper, arm.upperLen);
    seen(elevation + bend, arm.fore, arm.foreLen);
    return arm;
}

Pose symmetric(const ArmPose& arm, double lift) {
    Pose p;
    p.left = arm;
    p.right = arm;
    p.lift = lift;
    return p;
}

Pose restPose() {
    return symmetric(straightArm(4.0));
}

Pose overheadPose() {
    return symmetric(straightArm(160.0));
}

Pose openForClapPose() {
    return symmetric(ArmPose{97.5, 183.5, 1.0, 1.0}, 0.03);
}

Pose clapPose() {
    return symmetric(ArmPose{-74.8, 195.0, 0.53, 0.95});
}

} // namespace zorvexa::render
