// The figure and its animation: reproducible pictures and poses that keep to the parts
// of the picture the guide pane and the webcam view leave for them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tools/render/Figure.h"
#include "tools/render/Footage.h"
#include "tools/render/Strokes.h"
#include "tools/render/Timeline.h"

namespace zorvexa::render {
namespace {

const cv::Size kGuide(240, 240);
const cv::Size kWebcam(320, 240);

TEST(RenderFootage, SameFrameRendersIdentically) {
    Timeline t;
    appendStroke(t, Stroke::Clap, Pace::Guide);
    const Footage a(t, kWebcam, webcamPlacement(kWebcam), 5);
    const Footage b(t, kWebcam, webcamPlacement(kWebcam), 5);
    const int mid = t.frameCount() / 2;
    EXPECT_EQ(cv::norm(a.frame(mid), b.frame(mid), cv::NORM_INF), 0.0);
    // Noise differs from frame to frame, but stays mild.
    const double change = cv::norm(a.frame(1), a.frame(2), cv::NORM_L1) / (320.0 * 240 * 3);
    EXPECT_GT(change, 0.0);
    EXPECT_LT(change, 6.0);
}

TEST(RenderFigure, RestingHandsAreOutOfView) {
    for (const auto& [size, at] : {std::pair{kGuide, guidePlacement(kGuide)},
                                   std::pair{kWebcam, webcamPlacement(kWebcam)}}) {
        const Joints j = jointsOf(restPose(), at);
        EXPECT_GT(j.leftHand.y, size.height);
        EXPECT_GT(j.rightHand.y, size.height);
        EXPECT_NEAR((j.leftShoulder.x + j.rightShoulder.x) / 2, size.width / 2.0, 0.5);
    }
}

TEST(RenderFigure, GuideStrokesStayBelowTheCaptionBox) {
    const Placement at = guidePlacement(kGuide);
    for (Stroke s : {Stroke::Up, Stroke::Down, Stroke::DownLeft, Stroke::DownRight, Stroke::Clap}) {
        Timeline t;
        appendStroke(t, s, Pace::Guide);
        double highest = 1e9;
        for (int f = 0; f < t.frameCount(); ++f) {
            const Joints j = jointsOf(t.poseAt(f), at);
            highest = std::min({highest, j.leftHand.y, j.rightHand.y, j.head.y - j.headRadius});
        }
        // Hands are about 8 pixels in radius at this size.
        EXPECT_GT(highest - 8, 76) << strokeName(s);
    }
}

TEST(RenderTimeline, HoldsBeforeAndAfterItsKeys) {
    Timeline t;
    t.hold(5).moveTo(overheadPose(), 10, Ease::Smooth);
    EXPECT_EQ(t.frameCount(), 16);
    EXPECT_DOUBLE_EQ(t.poseAt(-3).left.upper, restPose().left.upper);
    EXPECT_DOUBLE_EQ(t.poseAt(5).left.upper, restPose().left.upper);
    EXPECT_DOUBLE_EQ(t.poseAt(15).left.upper, overheadPose().left.upper);
    EXPECT_DOUBLE_EQ(t.poseAt(40).left.upper, overheadPose().left.upper);
    const double halfway = t.poseAt(10).left.upper;
    EXPECT_NEAR(halfway, (restPose().left.upper + overheadPose().left.upper) / 2, 1e-9);
}

TEST(RenderPose, StraightPathMovesTheHandsOnALine) {
    // A clap brings the hands straight towards each other instead of swinging them
    // round the shoulders.
    const Pose open = openForClapPose();
    const Pose closed = clapPose();
    const Placement at{{160, 120}, 100};
    const cv::Point2d a = jointsOf(open, at).leftHand;
    const cv::Point2d b = jointsOf(closed, at).leftHand;
    for (double t : {0.25, 0.5, 0.75}) {
        const cv::Point2d h = jointsOf(blend(open, closed, t, Path::Straight), at).leftHand;
        EXPECT_NEAR(h.x, a.x + (b.x - a.x) * t, 1e-6);
        EXPECT_NEAR(h.y, a.y + (b.y - a.y) * t, 1e-6);
    }
    const cv::Point2d arc = jointsOf(blend(open, closed, 0.5, Path::Arc), at).leftHand;
    EXPECT_GT(std::hypot(arc.x - (a.x + b.x) / 2, arc.y - (a.y + b.y) / 2), 10.0);
}

} // namespace
} // namespace zorvexa::render
