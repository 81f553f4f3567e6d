#include <gtest/gtest.h>

#include <vector>

#include "main/motion/MotionInterpreter.h"
#include "main/shell/AppState.h"

using namespace zorvexa;

namespace {

constexpr double kUp = 270, kDown = 90, kRight = 0, kLeft = 180;

MotionSegment seg(int x, int width, double angle) {
    MotionSegment s;
    s.x = x;
    s.y = 10;
    s.width = width;
    s.height = 50;
    s.angle = angle;
    return s;
}

int classOf(std::vector<MotionSegment> segments) {
    MotionSample s;
    s.segments = std::move(segments);
    return classifySample(s, 160);
}

// Drives an interpreter the way the frame loop does: decide, then add the frame's
// segments under the current frame counter.
struct Loop {
    AppState state;
    MotionInterpreter interp{160, &state};

    int frame(const std::vector<MotionSegment>& segments) {
        state.frameCounter.fetch_add(1);
        const int d = interp.interpret();
        interp.addSample(segments, 60, state.frameCounter.load());
        return d;
    }
    // Feeds the same segments n times; returns the decisions.
    std::vector<int> frames(const std::vector<MotionSegment>& segments, int n) {
        std::vector<int> out;
        for (int i = 0; i < n; ++i)
            out.push_back(frame(segments));
        return out;
    }
};

const std::vector<MotionSegment> kStill{};
const std::vector<MotionSegment> kWideUp{seg(30, 100, kUp)};
const std::vector<MotionSegment> kWideDown{seg(30, 100, kDown)};

} // namespace

TEST(SegmentDirection, BoundsAreExcluded) {
    for (double a :
         {45.0, 50.0, 130.0, 135.0, 225.0, 230.0, 310.0, 315.0, 47.0, 312.0, -1.0, 361.0})
        EXPECT_EQ(segmentDirection(a), 0) << a;
    EXPECT_EQ(segmentDirection(0), kDirLeftToRight);
    EXPECT_EQ(segmentDirection(360), kDirLeftToRight);
    EXPECT_EQ(segmentDirection(44.9), kDirLeftToRight);
    EXPECT_EQ(segmentDirection(315.1), kDirLeftToRight);
    EXPECT_EQ(segmentDirection(50.1), kDirDown);
    EXPECT_EQ(segmentDirection(129.9), kDirDown);
    EXPECT_EQ(segmentDirection(135.1), kDirRightToLeft);
    EXPECT_EQ(segmentDirection(224.9), kDirRightToLeft);
    EXPECT_EQ(segmentDirection(230.1), kDirUp);
    EXPECT_EQ(segmentDirection(309.9), kDirUp);
}

TEST(ClassifySample, SingleSegments) {
    EXPECT_EQ(classOf({seg(30, 100, kUp)}), kDirUp) << "100 - |60+100-160| = 100 > 80";
    EXPECT_EQ(classOf({seg(0, 100, kUp)}), 0) << "100 - 60 = 40";
    EXPECT_EQ(classOf({seg(30, 100, kDown)}), kDirDown);
    EXPECT_EQ(classOf({seg(120, 17, kDown)}), kDirDownRight);
    EXPECT_EQ(classOf({seg(10, 17, kDown)}), kDirDownLeft);
    EXPECT_EQ(classOf({seg(120, 16, kDown)}), 0) << "width 16 is not above W/10";
    EXPECT_EQ(classOf({seg(0, 112, kRight)}), 0) << "112 is not above W*0.7";
    EXPECT_EQ(classOf({seg(0, 113, kRight)}), kDirLeftToRight);
    EXPECT_EQ(classOf({seg(0, 113, kLeft)}), kDirRightToLeft);
    EXPECT_EQ(classOf({seg(0, 113, 47)}), 0);
    EXPECT_EQ(classOf({}), kClassNoSegments);
    EXPECT_EQ(classOf({seg(0, 20, kUp), seg(40, 20, kUp), seg(80, 20, kUp)}), kClassNoSegments);
}

TEST(ClassifySample, DownOffsetZeroIsNoDecision) {
    // Centred but too narrow for DOWN: offset 0 gives neither side.
    EXPECT_EQ(classOf({seg(70, 20, kDown)}), 0);
}

TEST(ClassifySample, TwoSegments) {
    // Rule 1: first moving right, second moving left, placed right/left of the middle.
    EXPECT_EQ(classOf({seg(60, 30, kRight), seg(20, 30, kLeft)}), kClassOpposedRightFirst);
    EXPECT_EQ(classOf({seg(53, 30, kRight), seg(20, 30, kLeft)}), 0) << "53 is not above W/3";
    // Rule 2 accepts either placement.
    EXPECT_EQ(classOf({seg(60, 30, kLeft), seg(20, 30, kRight)}), kClassOpposedLeftFirst);
    EXPECT_EQ(classOf({seg(20, 30, kLeft), seg(60, 30, kRight)}), kClassOpposedLeftFirst);
    EXPECT_EQ(classOf({seg(10, 30, kLeft), seg(20, 30, kRight)}), 0);
    // Rule 3: two arms up on both sides, otherwise UPLEFT.
    EXPECT_EQ(classOf({seg(10, 40, kUp), seg(100, 40, kUp)}), kDirUp);
    EXPECT_EQ(classOf({seg(100, 40, kUp), seg(10, 40, kUp)}), kDirUp);
    EXPECT_EQ(classOf({seg(10, 30, kUp), seg(20, 30, kUp)}), kDirUpLeft) << "both left of W/3";
    EXPECT_EQ(classOf({seg(10, 30, kUp), seg(20, 30, kDown)}), kDirUpLeft);
    // Rule 4.
    EXPECT_EQ(classOf({seg(10, 30, kDown), seg(100, 30, kUp)}), kDirUpRight);
    // Rule 5: centres on both sides of the middle (integer halves).
    EXPECT_EQ(classOf({seg(10, 40, kDown), seg(100, 40, kDown)}), kDirDown);
    EXPECT_EQ(classOf({seg(61, 39, kDown), seg(100, 40, kDown)}), 0) << "c0 = 61 + 19 = 80";
    EXPECT_EQ(classOf({seg(10, 40, kDown), seg(120, 30, kRight)}), 0);
}

TEST(ClassifySample, CachesOnlyDecisions) {
    MotionSample s;
    s.segments = {seg(30, 100, kUp)};
    EXPECT_EQ(classifySample(s, 160), kDirUp);
    EXPECT_EQ(s.sampleClass, kDirUp);
    s.segments[0].angle = kDown; // the cached class wins
    EXPECT_EQ(classifySample(s, 160), kDirUp);

    MotionSample none;
    none.segments = {seg(0, 100, kUp)};
    EXPECT_EQ(classifySample(none, 160), 0);
    EXPECT_EQ(none.sampleClass, 0);
}

TEST(MotionInterpreter, NeedsFourSamples) {
    Loop loop;
    EXPECT_EQ(loop.frames(kWideDown, 4), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(loop.frame(kStill), kDirDown) << "decided on the fifth frame from four samples";
    EXPECT_EQ(loop.interp.lastDirection, kDirDown);
    EXPECT_TRUE(loop.interp.history().size() == 1) << "cleared, then this frame joined";
    // After a decision the next three frames cannot decide anything.
    EXPECT_EQ(loop.frames(kWideDown, 3), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(loop.frame(kWideDown), kDirDown);
}

TEST(MotionInterpreter, HistoryIsBounded) {
    Loop loop;
    for (int i = 0; i < 100; ++i)
        loop.frame(kStill);
    EXPECT_EQ(loop.interp.history().size(), 60u);
    loop.interp.clearHistory();
    EXPECT_TRUE(loop.interp.history().empty());
}

TEST(MotionInterpreter, UpHoldsBackEverythingButUpUntilRested) {
    Loop loop;
    loop.frames(kWideUp, 4);
    EXPECT_EQ(loop.frame(kStill), kDirUp);
    EXPECT_TRUE(loop.interp.upHold);

    // Arms coming down are not reported while the hold lasts.
    for (int d : loop.frames(kWideDown, 10))
        EXPECT_EQ(d, 0);
    EXPECT_TRUE(loop.interp.upHold);
    // UP can still be reported during the hold.
    loop.interp.clearHistory();
    loop.frames(kWideUp, 4);
    EXPECT_EQ(loop.frame(kStill), kDirUp);

    // 20 still samples are not enough at 30 fps; the 21st releases the hold.
    std::vector<int> decisions = loop.frames(kStill, 20);
    EXPECT_TRUE(loop.interp.upHold);
    EXPECT_EQ(loop.frame(kStill), 0);
    EXPECT_FALSE(loop.interp.upHold);
    EXPECT_EQ(loop.interp.history().size(), 1u) << "cleared, then this frame joined";
    // A downward stroke is reported again after four fresh samples.
    loop.frames(kWideDown, 3);
    EXPECT_EQ(loop.frame(kWideDown), kDirDown);
}

TEST(MotionInterpreter, StillFramesMustBeOlderThanTheFrameCounter) {
    Loop loop;
    loop.frames(kWideUp, 4);
    ASSERT_EQ(loop.frame(kStill), kDirUp);
    // Samples stamped with the current frame number do not count as rest.
    for (int i = 0; i < 30; ++i)
        loop.interp.addSample({}, 60, loop.state.frameCounter.load());
    EXPECT_EQ(loop.interp.interpret(), 0);
    EXPECT_TRUE(loop.interp.upHold);
}

TEST(MotionInterpreter, OnlyUpCanBeDecidedInTheReleasingCall) {
    for (const auto& stroke : {kWideUp, kWideDown}) {
        Loop loop;
        loop.frames(kWideUp, 4);
        ASSERT_EQ(loop.frame(kStill), kDirUp);
        loop.interp.clearHistory();
        for (int i = 0; i < 21; ++i)
            loop.interp.addSample(kStill, 60, 1);
        loop.interp.addSample(stroke, 60, 1);
        const int expected = stroke[0].angle == kUp ? kDirUp : 0;
        EXPECT_EQ(loop.interp.interpret(), expected);
        EXPECT_TRUE(loop.interp.history().empty());
        EXPECT_EQ(loop.interp.upHold, expected == kDirUp);
    }
}

TEST(MotionInterpreter, PairsAndSingles) {
    const std::vector<MotionSegment> pairDown{seg(10, 40, kDown), seg(100, 40, kDown)};
    const std::vector<MotionSegment> pairUp{seg(10, 40, kUp), seg(100, 40, kUp)};
    {
        Loop loop;
        loop.frames(pairDown, 4);
        EXPECT_EQ(loop.frame(kStill), kDirDown);
        EXPECT_FALSE(loop.interp.upHold);
    }
    {
        Loop loop; // pairs of UP never decide UP by themselves
        loop.frames(pairUp, 4);
        EXPECT_EQ(loop.frame(kStill), 0);
    }
    {
        Loop loop; // equal single counts: down pairs decide
        loop.frames(kWideUp, 2);
        loop.interp.upHold = false;
        loop.frames(kWideDown, 2);
        loop.frames(pairDown, 1);
        EXPECT_EQ(loop.frame(kStill), kDirDown);
    }
}

TEST(MotionInterpreter, SidewaysDownStrokes) {
    const std::vector<MotionSegment> left{seg(10, 20, kDown)};
    const std::vector<MotionSegment> right{seg(120, 20, kDown)};
    {
        Loop loop; // 2 more on the left is not enough at 30 fps (30/15 = 2)
        loop.frames(left, 3);
        loop.frames(right, 1);
        loop.frames(kStill, 1);
        EXPECT_EQ(loop.frame(kStill), 0);
    }
    {
        Loop loop;
        loop.frames(left, 3);
        loop.frames(kStill, 1);
        EXPECT_EQ(loop.frame(kStill), kDirDownLeft);
    }
    {
        Loop loop;
        loop.frames(right, 3);
        loop.frames(kStill, 1);
        EXPECT_EQ(loop.frame(kStill), kDirDownRight);
    }
    {
        Loop loop; // at 10 fps one more suffices (10/15 = 0)
        loop.state.fps = 10;
        loop.frames(right, 1);
        loop.frames(kStill, 3);
        EXPECT_EQ(loop.frame(kStill), kDirDownRight);
    }
}

TEST(MotionInterpreter, ClapTowardsTheMiddle) {
    const std::vector<MotionSegment> wideRight{seg(0, 120, kRight)};
    {
        Loop loop; // four horizontal samples are not more than 30/7 = 4
        loop.frames(wideRight, 4);
        EXPECT_EQ(loop.frame(kStill), 0);
        EXPECT_EQ(loop.frame(kStill), 0);
        EXPECT_EQ(loop.frame(wideRight), 0);
        EXPECT_EQ(loop.frame(kStill), kDirToCenter);
    }
    const std::vector<MotionSegment> opposedLeftFirst{seg(60, 30, kLeft), seg(20, 30, kRight)};
    const std::vector<MotionSegment> opposedRightFirst{seg(60, 30, kRight), seg(20, 30, kLeft)};
    {
        Loop loop; // 11 then 12 two frames later
        loop.frame(opposedLeftFirst);
        loop.frame(kStill);
        loop.frame(opposedRightFirst);
        loop.frame(kStill);
        EXPECT_EQ(loop.frame(kStill), kDirToCenter);
    }
    {
        Loop loop; // three frames apart is too late
        loop.frame(opposedLeftFirst);
        loop.frame(kStill);
        loop.frame(kStill);
        loop.frame(opposedRightFirst);
        EXPECT_EQ(loop.frame(kStill), 0);
    }
    {
        Loop loop; // 12 before 11 is not a clap
        loop.frame(opposedRightFirst);
        loop.frame(opposedLeftFirst);
        loop.frame(kStill);
        loop.frame(kStill);
        EXPECT_EQ(loop.frame(kStill), 0);
    }
}
