// Stroke segmentation and classification on motion made by hand: each frame gives the
// moving mass and its centre on both halves of the picture.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "main/motion/MotionDir.h"
#include "main/motion/robust/StrokeSegmenter.h"

namespace zorvexa::robust {
namespace {

// One half's motion over a movement: from (x0, y0) to (x1, y1) in `n` frames with a
// constant mass; a mass of 0 leaves that half still.
struct Sweep {
    double mass, x0, y0, x1, y1;
};

SideMotion at(const Sweep& s, int k, int n) {
    if (s.mass <= 0)
        return {};
    const double u = n > 1 ? k / double(n - 1) : 1.0;
    return {s.mass, s.x0 + (s.x1 - s.x0) * u, s.y0 + (s.y1 - s.y0) * u};
}

// Feeds still frames, the movement and more still frames; returns every report with
// the frame (counted from the movement's first frame) it came in.
std::vector<std::pair<int, MotionDir>> run(StrokeSegmenter& seg, const Sweep& left,
                                           const Sweep& right, int n, int fps = 30) {
    std::vector<std::pair<int, MotionDir>> reports;
    const FrameMotion still;
    for (int k = 0; k < 10; ++k)
        if (MotionDir d = seg.step(still, fps, 0.5))
            reports.emplace_back(k - 10, d);
    for (int k = 0; k < n; ++k) {
        FrameMotion f;
        f.left = at(left, k, n);
        f.right = at(right, k, n);
        if (MotionDir d = seg.step(f, fps, 0.5))
            reports.emplace_back(k, d);
    }
    for (int k = 0; k < 40; ++k)
        if (MotionDir d = seg.step(still, fps, 0.5))
            reports.emplace_back(n + k, d);
    return reports;
}

struct Case {
    const char* name;
    Sweep left, right;
    int frames;
    MotionDir expected;
};

TEST(RobustSegmenter, EachStrokeTypeIsReportedOnceRightAfterItEnds) {
    const Case cases[] = {
        {"both arms up", {0.03, 0.25, 0.7, 0.25, 0.2}, {0.03, 0.75, 0.7, 0.75, 0.2}, 10, kDirUp},
        {"both arms down", {0.03, 0.2, 0.2, 0.25, 0.7}, {0.03, 0.8, 0.2, 0.75, 0.7}, 12, kDirDown},
        {"left arm down, body leaning",
         {0.04, 0.15, 0.3, 0.3, 0.7},
         {0.012, 0.6, 0.5, 0.56, 0.5},
         9,
         kDirDownLeft},
        {"right arm down", {0, 0, 0, 0, 0}, {0.04, 0.85, 0.3, 0.7, 0.7}, 14, kDirDownRight},
        // The centre line is not known yet and lies left of the body's: the left arm,
        // far out, is a fifth of the motion but goes down with the right one.
        {"both arms down, centre line off",
         {0.007, 0.1, 0.2, 0.12, 0.6},
         {0.032, 0.75, 0.2, 0.72, 0.7},
         12,
         kDirDown},
        // A fifth of the motion just left of the centre line is the right arm reaching
        // over it, not a second arm.
        {"right arm down, reaching over the centre line",
         {0.009, 0.47, 0.3, 0.45, 0.7},
         {0.04, 0.8, 0.3, 0.65, 0.7},
         12,
         kDirDownRight},
        {"clap", {0.025, 0.2, 0.4, 0.4, 0.42}, {0.025, 0.8, 0.4, 0.6, 0.42}, 8, kDirToCenter},
        // The hands sink on one side only: further in than down, so no pull.
        {"clap sinking on the left",
         {0.03, 0.2, 0.35, 0.42, 0.5},
         {0.02, 0.8, 0.4, 0.6, 0.41},
         8,
         kDirToCenter},
        // Both forearms alike, the middle of their motion rising more than it comes in
        // while its top does not rise: no arms going up.
        {"clap rising",
         {0.03, 0.2, 0.45, 0.3, 0.27},
         {0.03, 0.8, 0.45, 0.7, 0.27},
         6,
         kDirToCenter},
    };
    for (const Case& c : cases) {
        StrokeSegmenter seg;
        const auto reports = run(seg, c.left, c.right, c.frames);
        ASSERT_EQ(reports.size(), 1u) << c.name;
        EXPECT_EQ(reports[0].second, c.expected) << c.name;
        EXPECT_GE(reports[0].first, c.frames - 1) << c.name;
        EXPECT_LE(reports[0].first, c.frames + 3) << c.name;
    }
}

TEST(RobustSegmenter, MotionThatIsNoStrokeIsNeverReported) {
    const Case cases[] = {
        // Lowering both arms calmly over a second and a half.
        {"slow drift", {0.02, 0.2, 0.2, 0.25, 0.7}, {0.02, 0.8, 0.2, 0.75, 0.7}, 45, kDirNone},
        // The whole body sways sideways: both halves move the same way.
        {"sway", {0.02, 0.3, 0.5, 0.36, 0.5}, {0.02, 0.7, 0.5, 0.76, 0.5}, 12, kDirNone},
        // A short twitch of one hand.
        {"twitch", {0.03, 0.3, 0.5, 0.3, 0.53}, {0, 0, 0, 0, 0}, 6, kDirNone},
        // One arm raised, not lowered.
        {"one arm up", {0.04, 0.3, 0.7, 0.15, 0.3}, {0, 0, 0, 0, 0}, 12, kDirNone},
        // Someone crossing the background behind the user.
        {"passer-by", {0.015, 0.1, 0.4, 0.45, 0.4}, {0.015, 0.55, 0.4, 0.9, 0.4}, 16, kDirNone},
    };
    for (const Case& c : cases) {
        StrokeSegmenter seg;
        EXPECT_TRUE(run(seg, c.left, c.right, c.frames).empty()) << c.name;
    }
}

TEST(RobustSegmenter, DurationsAreMeasuredInSeconds) {
    const Sweep left{0.02, 0.2, 0.2, 0.25, 0.7}, right{0.02, 0.8, 0.2, 0.75, 0.7};
    StrokeSegmenter at60;
    const auto fast = run(at60, left, right, 36, 60); // 0.6 s at 60 frames a second
    ASSERT_EQ(fast.size(), 1u);
    EXPECT_EQ(fast[0].second, kDirDown);
    StrokeSegmenter at30;
    EXPECT_TRUE(run(at30, left, right, 36, 30).empty()) << "1.2 s is drift";
}

TEST(RobustSegmenter, ALightSwitchedOnMidStrokeCancelsIt) {
    StrokeSegmenter seg;
    const Sweep left{0.03, 0.25, 0.7, 0.25, 0.2}, right{0.03, 0.75, 0.7, 0.75, 0.2};
    std::vector<MotionDir> reports;
    for (int k = 0; k < 30; ++k) {
        FrameMotion f;
        if (k < 10) {
            f.left = at(left, k, 10);
            f.right = at(right, k, 10);
        }
        f.globalChange = k == 6;
        if (MotionDir d = seg.step(f, 30, 0.5))
            reports.push_back(d);
    }
    EXPECT_TRUE(reports.empty());
}

// The stroke, then the arms keep moving a little (settling) without a pause; with
// `lead` still frames before it.
int reportsWithSettling(int lead) {
    StrokeSegmenter seg;
    const Sweep left{0.03, 0.2, 0.2, 0.25, 0.7}, right{0.03, 0.8, 0.2, 0.75, 0.7};
    int reports = 0;
    for (int k = -lead; k < 60; ++k) {
        FrameMotion f;
        if (k >= 0 && k < 12) {
            f.left = at(left, k, 12);
            f.right = at(right, k, 12);
        } else if (k >= 12) {
            f.left = {0.0065, 0.25, 0.7 + 0.002 * (k - 12)};
            f.right = {0.0065, 0.75, 0.7 + 0.002 * (k - 12)};
        }
        reports += seg.step(f, 30, 0.5) != kDirNone;
    }
    return reports;
}

TEST(RobustSegmenter, NoSecondReportWhileTheArmsSettle) {
    EXPECT_EQ(reportsWithSettling(10), 1);
}

TEST(RobustSegmenter, AMovementUnderWayWhenTheAnalysisStartsIsNoStroke) {
    EXPECT_EQ(reportsWithSettling(0), 0);
}

// Arms raised in front of the body: the middle of each side's moving pixels barely
// rises while their top climbs from the chest to above the head.
TEST(RobustSegmenter, ArmsRaisedInFrontAreUpByTheTopOfTheirMotion) {
    StrokeSegmenter seg;
    std::vector<MotionDir> reports;
    for (int k = 0; k < 60; ++k) {
        FrameMotion f;
        if (k >= 10 && k < 20) {
            const double u = (k - 10) / 9.0;
            f.left = {0.03, 0.4, 0.55 - 0.04 * u, 0.3, 0.5 - 0.4 * u};
            f.right = {0.03, 0.6, 0.55 - 0.04 * u, 0.7, 0.5 - 0.4 * u};
        }
        if (MotionDir d = seg.step(f, 30, 0.5))
            reports.push_back(d);
    }
    EXPECT_EQ(reports, std::vector<MotionDir>{kDirUp});
}

} // namespace
} // namespace zorvexa::robust
