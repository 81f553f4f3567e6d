// The demo session must be read by the motion analysis as exactly the strokes its
// script performs, in order, each while its movement is under way.
#include <gtest/gtest.h>

#include <opencv2/videoio.hpp>

#include "main/motion/MotionDir.h"
#include "tests/tools/render/ClipAnalysis.h"
#include "tools/render/DemoScript.h"

namespace zorvexa::test {
namespace {

using render::buildDemoSession;
using render::demoSteps;

// The session as a person would describe it: both arms up, held, pulled down; left arm
// down; right arm down; clap; and the same again with the one-arm strokes swapped.
const std::vector<int> kExpectedStrokes = {kDirUp,       kDirDown,    kDirDownLeft, kDirDownRight,
                                           kDirToCenter, kDirUp,      kDirDown,     kDirDownRight,
                                           kDirDownLeft, kDirToCenter};

TEST(RenderDemoSession, ScriptPerformsTheExpectedStrokes) {
    std::vector<int> scripted;
    for (const auto& step : demoSteps())
        scripted.push_back(step.expected);
    EXPECT_EQ(scripted, kExpectedStrokes);
}

TEST(RenderDemoSession, IsAFortySecondWebcamClip) {
    cv::VideoCapture in(clipPath("demo_session.avi"), cv::CAP_FFMPEG);
    ASSERT_TRUE(in.isOpened());
    EXPECT_EQ(in.get(cv::CAP_PROP_FRAME_WIDTH), 320);
    EXPECT_EQ(in.get(cv::CAP_PROP_FRAME_HEIGHT), 240);
    EXPECT_NEAR(in.get(cv::CAP_PROP_FPS), 30.0, 0.01);
    const double seconds = in.get(cv::CAP_PROP_FRAME_COUNT) / 30.0;
    EXPECT_GE(seconds, 35.0);
    EXPECT_LE(seconds, 45.0);
}

class RenderDemoAnalysis : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { result_ = new ClipStrokes(analyseClip("demo_session.avi")); }
    static void TearDownTestSuite() {
        delete result_;
        result_ = nullptr;
    }
    static ClipStrokes* result_;
};

ClipStrokes* RenderDemoAnalysis::result_ = nullptr;

TEST_F(RenderDemoAnalysis, RecognisesTheStrokesInOrder) {
    ASSERT_TRUE(result_->opened);
    std::vector<int> seen;
    for (const Decision& d : result_->strokes)
        seen.push_back(d.direction);
    EXPECT_EQ(seen, kExpectedStrokes) << "decisions: " << describe(result_->decisions);
}

TEST_F(RenderDemoAnalysis, EachStrokeIsRecognisedWhileItIsPerformed) {
    const auto session = buildDemoSession();
    ASSERT_EQ(result_->strokes.size(), session.strokes.size())
        << "decisions: " << describe(result_->decisions);
    for (size_t i = 0; i < session.strokes.size(); ++i) {
        // Analysis frames count from 1, timeline frames from 0. The decision comes once
        // the movement has been seen for a few frames, before the picture calms down.
        const int first = session.strokes[i].span.first + 1;
        const int last = session.strokes[i].span.last + 1 + 20;
        EXPECT_GE(result_->strokes[i].frame, first) << "stroke " << i;
        EXPECT_LE(result_->strokes[i].frame, last) << "stroke " << i;
    }
}

TEST_F(RenderDemoAnalysis, TheStrokeCounterCountsEveryStrokeOnce) {
    EXPECT_EQ(result_->counted[kDirUp], 2);
    EXPECT_EQ(result_->counted[kDirDown], 2);
    EXPECT_EQ(result_->counted[kDirDownLeft], 2);
    EXPECT_EQ(result_->counted[kDirDownRight], 2);
    EXPECT_EQ(result_->counted[kDirToCenter], 2);
    EXPECT_EQ(result_->counted[kDirUpLeft] + result_->counted[kDirUpRight] +
                  result_->counted[kDirLeftToRight] + result_->counted[kDirRightToLeft],
              0);
}

TEST(RenderDemoRobust, ReportsEachStrokeOnceAsItEnds) {
    const ClipStrokes robust = analyseClip("demo_session.avi", RecognizerKind::Robust);
    ASSERT_TRUE(robust.opened);
    std::vector<int> seen;
    for (const Decision& d : robust.decisions)
        seen.push_back(d.direction);
    ASSERT_EQ(seen, kExpectedStrokes) << "decisions: " << describe(robust.decisions);
    const auto session = buildDemoSession();
    for (size_t i = 0; i < session.strokes.size(); ++i) {
        // Timeline frames count from 0, analysis frames from 1.
        EXPECT_GE(robust.decisions[i].frame, session.strokes[i].span.first + 1) << "stroke " << i;
        EXPECT_LE(robust.decisions[i].frame, session.strokes[i].span.last + 1 + 10)
            << "stroke " << i;
    }
}

} // namespace
} // namespace zorvexa::test
