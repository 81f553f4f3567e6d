#include <gtest/gtest.h>

#include "main/motion/StrokeCounter.h"
#include "main/shell/AppState.h"

using namespace zorvexa;

TEST(StrokeCounter, TwentyFrameDebounce) {
    AppState state;
    StrokeCounter counter;
    counter.countStroke(state, kDirUp, 100);
    counter.countStroke(state, kDirUp, 119);
    EXPECT_EQ(state.strokeCount(kStrokeUp), 1);
    counter.countStroke(state, kDirDown, 120);
    EXPECT_EQ(state.strokeCount(kStrokeDown), 1);
}

TEST(StrokeCounter, NoGestureFramesDoNotMoveTheLastStroke) {
    AppState state;
    StrokeCounter counter;
    counter.countStroke(state, 0, 1); // first call sets the reference time
    counter.countStroke(state, kDirUp, 15);
    EXPECT_EQ(state.strokeCount(kStrokeUp), 0) << "within 20 frames of the first call";
    counter.countStroke(state, kDirUp, 21);
    EXPECT_EQ(state.strokeCount(kStrokeUp), 1);
    counter.countStroke(state, 0, 45);
    counter.countStroke(state, kDirUp, 46);
    EXPECT_EQ(state.strokeCount(kStrokeUp), 2);
}

TEST(StrokeCounter, BackwardTimestampsAreNeverDebounced) {
    AppState state;
    StrokeCounter counter;
    counter.countStroke(state, kDirToCenter, 500);
    counter.countStroke(state, kDirToCenter, 1); // a new loop starts at 1 again
    counter.countStroke(state, kDirToCenter, 2); // 2 - 1 < 20: debounced again
    EXPECT_EQ(state.strokeCount(kStrokeToCenter), 2);
}

TEST(StrokeCounter, EveryDirectionHasItsCounter) {
    AppState state;
    StrokeCounter counter;
    const int dirs[] = {kDirUp,       kDirUpRight,     kDirUpLeft,      kDirDown,    kDirDownRight,
                        kDirDownLeft, kDirRightToLeft, kDirLeftToRight, kDirToCenter};
    int ts = 0;
    for (int d : dirs)
        counter.countStroke(state, d, ts += 20);
    counter.countStroke(state, 1, ts += 20);
    counter.countStroke(state, 11, ts += 20);
    for (int i = 0; i < kStrokeKinds; ++i)
        EXPECT_EQ(state.strokeCount(i), 1) << i;
    EXPECT_EQ(strokeIndexOf(kDirUpLeft), kStrokeUpLeft);
    EXPECT_EQ(strokeIndexOf(kDirRightToLeft), kStrokeRightToLeft);
}
