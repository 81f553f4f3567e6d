// The ground-truth clips: their stroke lists must be right about what the pictures show,
// or every score measured on them is wrong.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include <opencv2/imgproc.hpp>

#include "main/motion/MotionDir.h"
#include "tools/render/Dataset.h"
#include "tools/render/Figure.h"

namespace zorvexa::render {
namespace {

TEST(RenderDataset, StrokesAreQuickSeparatedAndInsideTheClip) {
    std::set<std::string> names;
    int strokes = 0, distractors = 0;
    for (std::uint64_t seed : {1u, 2u, 1001u}) {
        for (int i = 1; i <= 20; ++i) {
            const DatasetClip c = datasetClip(seed, i);
            EXPECT_TRUE(names.insert(c.name).second) << c.name;
            EXPECT_EQ(c.strokes.empty(), c.kind != "strokes") << c.description;
            distractors += c.strokes.empty();
            int previousEnd = -1000;
            for (const TruthStroke& s : c.strokes) {
                ++strokes;
                // A quarter to two thirds of a second at 30 fps, a frame or two more when
                // one arm lags; rests longer than the scoring window in between.
                EXPECT_GE(s.end - s.start, 8) << c.description;
                EXPECT_LE(s.end - s.start, 22) << c.description;
                EXPECT_GT(s.start, previousEnd + 15) << c.description;
                previousEnd = s.end;
                EXPECT_GE(s.start, 1);
                EXPECT_LE(s.end + 15, c.footage->frameCount()) << c.description;
            }
        }
    }
    EXPECT_GT(strokes, 60);
    EXPECT_GT(distractors, 5);
}

TEST(RenderDataset, ASeedMakesTheSameClip) {
    const DatasetClip a = datasetClip(7, 3);
    const DatasetClip b = datasetClip(7, 3);
    EXPECT_EQ(a.description, b.description);
    ASSERT_EQ(a.strokes.size(), b.strokes.size());
    const int f = a.footage->frameCount() / 2;
    EXPECT_EQ(cv::norm(a.footage->frame(f), b.footage->frame(f), cv::NORM_INF), 0.0);
    EXPECT_NE(datasetClip(7, 4).description, a.description);
    EXPECT_NE(datasetClip(8, 3).description, a.description);
}

// Where the higher of the two hands is in the picture at `frame` (0-based), mirroring
// applied, and whether the picture there changed by `other`: the lifted arm of a one-arm
// stroke, found from the pose and checked in the pixels.
struct LiftedHand {
    double x = 0;
    bool changed = false;
};

LiftedHand liftedHand(const DatasetClip& c, int frame, int other) {
    const Footage& f = *c.footage;
    const Joints j = jointsOf(f.timeline().poseAt(frame), f.placement(), f.filming().build);
    cv::Point2d hand = j.leftHand.y < j.rightHand.y ? j.leftHand : j.rightHand;
    if (f.filming().mirrored)
        hand.x = c.size.width - 1 - hand.x;
    cv::Mat diff, grey;
    cv::absdiff(f.frame(frame), f.frame(other), diff);
    cv::cvtColor(diff, grey, cv::COLOR_BGR2GRAY);
    const cv::Rect around =
        cv::Rect(cvRound(hand.x) - 2, cvRound(hand.y) - 2, 5, 5) & cv::Rect({}, grey.size());
    double most = 0;
    if (!around.empty())
        cv::minMaxLoc(grey(around), nullptr, &most);
    return LiftedHand{hand.x, most > 40};
}

TEST(RenderDataset, OneArmStrokesAreNamedByTheSideOfThePicture) {
    // DOWNLEFT is the arm on the image's left, as the demo session and the interpreter
    // have it, also in mirrored clips.
    int checked = 0, mirrored = 0;
    for (int i = 1; i <= 40 && (checked < 4 || mirrored == 0); ++i) {
        const DatasetClip c = datasetClip(11, i, true);
        for (const TruthStroke& s : c.strokes) {
            if (s.type != kDirDownLeft && s.type != kDirDownRight)
                continue;
            const bool isMirrored = c.description.find("mirrored") != std::string::npos;
            if (checked >= 4 && !isMirrored)
                continue;
            // Frames are numbered from 1 in the truth, from 0 in the footage.
            const LiftedHand hand = liftedHand(c, s.start - 1, s.end - 1);
            EXPECT_TRUE(hand.changed) << c.description;
            if (s.type == kDirDownLeft)
                EXPECT_LT(hand.x, c.at.shoulders.x - 0.4 * c.at.scale) << c.description;
            else
                EXPECT_GT(hand.x, c.at.shoulders.x + 0.4 * c.at.scale) << c.description;
            ++checked;
            mirrored += isMirrored;
            break;
        }
    }
    EXPECT_GE(checked, 4);
    EXPECT_GT(mirrored, 0);
}

TEST(RenderDataset, TruthListsTheStrokesAsJson) {
    EXPECT_EQ(truthJson({}), "[]\n");
    EXPECT_EQ(truthJson({{kDirUp, 31, 45}, {kDirDownRight, 90, 99}}),
              "[{\"type\": \"UP\", \"start\": 31, \"end\": 45},\n"
              " {\"type\": \"DOWNRIGHT\", \"start\": 90, \"end\": 99}]\n");
}

} // namespace
} // namespace zorvexa::render
