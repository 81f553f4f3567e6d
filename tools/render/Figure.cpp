#include "tools/render/Figure.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <opencv2/imgproc.hpp>

namespace zorvexa::render {

namespace {

// Body proportions in body units (one straight arm, shoulder to middle of the hand).
constexpr double kShoulderHalfWidth = 0.40;
constexpr double kWaistHalfWidth = 0.34;
constexpr double kUpperArmThickness = 0.17;
constexpr double kForearmThickness = 0.13;
constexpr double kHandRadius = 0.085;
constexpr double kHeadRadius = 0.21;
constexpr double kHeadAbove = 0.50;
constexpr double kNeckHalfWidth = 0.085;
constexpr double kPi = 3.14159265358979323846;

// Drawing happens on a picture this many times larger, then is scaled down.
constexpr int kSupersample = 2;

cv::Point2d along(double degrees, double length, double outward) {
    const double r = degrees * kPi / 180.0;
    return {outward * length * std::sin(r), length * std::cos(r)};
}

// How far the hand is nearer the camera than the shoulder, in body units.
double handDepth(const ArmPose& arm) {
    const auto depth = [](double seen) { return std::sqrt(std::max(0.0, 1.0 - seen * seen)); };
    return depth(arm.upperLen) * kUpperArmLength + depth(arm.foreLen) * kForearmLength;
}

// Joints in body units, relative to the middle of the shoulder line at rest.
struct BodyJoints {
    cv::Point2d base, ls, le, lh, rs, re, rh;
};

BodyJoints bodyJoints(const Pose& pose, const Build& build) {
    BodyJoints j;
    j.base = cv::Point2d(pose.shiftX, -pose.lift);
    j.ls = j.base + cv::Point2d(-kShoulderHalfWidth * build.breadth, 0.0);
    j.rs = j.base + cv::Point2d(kShoulderHalfWidth * build.breadth, 0.0);
    j.le = j.ls + along(pose.left.upper, pose.left.upperLen * kUpperArmLength, -1.0);
    j.lh = j.le + along(pose.left.fore, pose.left.foreLen * kForearmLength, -1.0);
    j.re = j.rs + along(pose.right.upper, pose.right.upperLen * kUpperArmLength, 1.0);
    j.rh = j.re + along(pose.right.fore, pose.right.foreLen * kForearmLength, 1.0);
    return j;
}

struct Canvas {
    cv::Mat& img;
    Placement at;
    cv::Point toPx(const cv::Point2d& p) const {
        // Fixed point with 3 fractional bits for smooth anti-aliased edges.
        return {cvRound((at.shoulders.x + p.x * at.scale) * 8.0),
                cvRound((at.shoulders.y + p.y * at.scale) * 8.0)};
    }
    int len(double units) const { return std::max(1, cvRound(units * at.scale)); }
    void limb(const cv::Point2d& a, const cv::Point2d& b, double thickness,
              const cv::Scalar& colour) const {
        const cv::Scalar edge = colour * 0.6;
        cv::line(img, toPx(a), toPx(b), edge, len(thickness) + std::max(2, len(0.02)), cv::LINE_AA,
                 3);
        cv::line(img, toPx(a), toPx(b), colour, len(thickness), cv::LINE_AA, 3);
    }
    void disc(const cv::Point2d& c, double r, const cv::Scalar& colour, bool outline) const {
        if (outline)
            cv::circle(img, toPx(c), len(r) * 8 + 8 * std::max(1, len(0.012)), colour * 0.6,
                       cv::FILLED, cv::LINE_AA, 3);
        cv::circle(img, toPx(c), len(r) * 8, colour, cv::FILLED, cv::LINE_AA, 3);
    }
    void polygon(const std::vector<cv::Point2d>& pts, const cv::Scalar& colour) const {
        std::vector<cv::Point> px;
        for (const auto& p : pts)
            px.push_back(toPx(p));
        cv::fillPoly(img, std::vector<std::vector<cv::Point>>{px}, colour, cv::LINE_AA, 3);
    }
};

void drawArm(const Canvas& c, const cv::Point2d& s, const cv::Point2d& e, const cv::Point2d& h,
             double depth, const Wardrobe& clothes, double girth) {
    // Parts nearer the camera look larger.
    const double near = 1.0 + 0.3 * depth;
    const cv::Point2d sleeveEnd = s + (e - s) * 0.55;
    c.limb(sleeveEnd, e, kUpperArmThickness * girth * 0.85, clothes.skin);
    c.limb(e, h, kForearmThickness * girth * near, clothes.skin);
    c.disc(h, kHandRadius * girth * near, clothes.skin, true);
    c.limb(s, sleeveEnd, kUpperArmThickness * girth * 1.12, clothes.shirt);
}

} // namespace

Joints jointsOf(const Pose& pose, const Placement& at, const Build& build) {
    const BodyJoints b = bodyJoints(pose, build);
    const auto px = [&at](const cv::Point2d& p) { return at.shoulders + p * at.scale; };
    Joints j;
    j.leftShoulder = px(b.ls);
    j.leftElbow = px(b.le);
    j.leftHand = px(b.lh);
    j.rightShoulder = px(b.rs);
    j.rightElbow = px(b.re);
    j.rightHand = px(b.rh);
    j.head = px(b.base + cv::Point2d(0.0, -kHeadAbove));
    j.headRadius = kHeadRadius * build.head * at.scale;
    return j;
}

void drawFigure(cv::Mat& picture, const Pose& pose, const Placement& at, const Wardrobe& clothes,
                const Build& build) {
    cv::Mat big;
    cv::resize(picture, big, picture.size() * kSupersample, 0, 0, cv::INTER_LINEAR);
    Placement bigAt{at.shoulders * kSupersample, at.scale * kSupersample};
    Canvas c{big, bigAt};

    const BodyJoints j = bodyJoints(pose, build);
    const cv::Point2d& base = j.base;
    const cv::Point2d& ls = j.ls;
    const cv::Point2d& rs = j.rs;

    // Neck and head, tilted around the neck.
    const double tilt = pose.headTilt * kPi / 180.0;
    const cv::Point2d neckBase = base + cv::Point2d(0.0, -0.02);
    const cv::Point2d up(std::sin(tilt), -std::cos(tilt));
    const cv::Point2d head = neckBase + up * (kHeadAbove - 0.02);
    c.limb(neckBase, neckBase + up * 0.3, kNeckHalfWidth * 2.0, clothes.skin * 0.92);

    // Torso: shirt from the shoulders down past the bottom of the picture.
    const double yTop = base.y - 0.05;
    c.polygon({{ls.x - 0.02, yTop + 0.08},
               {ls.x + 0.10, yTop},
               {rs.x - 0.10, yTop},
               {rs.x + 0.02, yTop + 0.08},
               {base.x + kWaistHalfWidth * build.breadth * build.girth + 0.03, base.y + 1.8},
               {base.x - kWaistHalfWidth * build.breadth * build.girth - 0.03, base.y + 1.8}},
              clothes.shirt);
    if (clothes.stripeWidth > 0.0) {
        // Bands between the torso's two sides, which run straight from the armpits down.
        const cv::Point2d leftTop(ls.x - 0.02, yTop + 0.08), rightTop(rs.x + 0.02, yTop + 0.08);
        const cv::Point2d leftBottom(base.x - kWaistHalfWidth * build.breadth * build.girth - 0.03,
                                     base.y + 1.8);
        const cv::Point2d rightBottom(base.x + kWaistHalfWidth * build.breadth * build.girth + 0.03,
                                      base.y + 1.8);
        const auto side = [](const cv::Point2d& a, const cv::Point2d& b, double y) {
            return cv::Point2d(a.x + (b.x - a.x) * (y - a.y) / (b.y - a.y), y);
        };
        for (double y = leftTop.y + clothes.stripeWidth; y < leftBottom.y;
             y += 2.0 * clothes.stripeWidth) {
            const double y1 = std::min(y + clothes.stripeWidth, leftBottom.y);
            c.polygon({side(leftTop, leftBottom, y), side(rightTop, rightBottom, y),
                       side(rightTop, rightBottom, y1), side(leftTop, leftBottom, y1)},
                      clothes.stripe);
        }
    }
    c.disc(ls + cv::Point2d(0.04, 0.06), 0.1, clothes.shirt, false);
    c.disc(rs + cv::Point2d(-0.04, 0.06), 0.1, clothes.shirt, false);
    // Collar and a fold line or two, so the shirt is not one flat patch.
    c.limb(neckBase + cv::Point2d(-0.11, -0.02), neckBase + cv::Point2d(0.0, 0.09), 0.035,
           clothes.trim);
    c.limb(neckBase + cv::Point2d(0.11, -0.02), neckBase + cv::Point2d(0.0, 0.09), 0.035,
           clothes.trim);
    c.limb(base + cv::Point2d(-0.16, 0.45), base + cv::Point2d(-0.12, 0.9), 0.015,
           clothes.shirt * 0.8);
    c.limb(base + cv::Point2d(0.17, 0.5), base + cv::Point2d(0.14, 0.95), 0.015,
           clothes.shirt * 0.8);

    // Head: hair behind, face, ears, eyes, mouth.
    const cv::Point hp = c.toPx(head);
    const double headRadius = kHeadRadius * build.head;
    const int r = c.len(headRadius);
    cv::ellipse(big, hp, cv::Size(r * 8 + 16, (r + r / 6) * 8 + 16), pose.headTilt, 0, 360,
                clothes.hair, cv::FILLED, cv::LINE_AA, 3);
    c.disc(head + cv::Point2d(-headRadius * 0.95, 0.02), 0.045, clothes.skin * 0.9, false);
    c.disc(head + cv::Point2d(headRadius * 0.95, 0.02), 0.045, clothes.skin * 0.9, false);
    cv::ellipse(big, c.toPx(head + cv::Point2d(0.0, 0.03)),
                cv::Size(r * 8 * 9 / 10, r * 8 * 21 / 20), pose.headTilt, 0, 360, clothes.skin,
                cv::FILLED, cv::LINE_AA, 3);
    cv::ellipse(big, c.toPx(head + cv::Point2d(0.0, -0.1)), cv::Size(r * 8, r * 8 * 11 / 20),
                pose.headTilt, 180, 360, clothes.hair, cv::FILLED, cv::LINE_AA, 3);
    const cv::Scalar eye(40, 30, 30);
    c.disc(head + cv::Point2d(-0.075, 0.02), 0.022, eye, false);
    c.disc(head + cv::Point2d(0.075, 0.02), 0.022, eye, false);
    cv::ellipse(big, c.toPx(head + cv::Point2d(0.0, 0.09)),
                cv::Size(c.len(0.06) * 8, c.len(0.03) * 8), pose.headTilt, 10, 170,
                cv::Scalar(70, 70, 150), std::max(1, c.len(0.015)), cv::LINE_AA, 3);

    // Arms last: they pass in front of the body and the head.
    drawArm(c, ls, j.le, j.lh, handDepth(pose.left), clothes, build.girth);
    drawArm(c, rs, j.re, j.rh, handDepth(pose.right), clothes, build.girth);

    cv::resize(big, picture, picture.size(), 0, 0, cv::INTER_AREA);
}

} // namespace zorvexa::render
