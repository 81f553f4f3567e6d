// Matching reported strokes against the ground truth, and the tallies built on it.
#include <gtest/gtest.h>

#include "main/motion/MotionDir.h"
#include "tools/analyze/StrokeMatch.h"

namespace zorvexa {
namespace {

const TruthStroke kUp{kDirUp, 100, 110};

TEST(StrokeMatch, WindowRunsFromStartToFifteenFramesAfterTheEnd) {
    for (int frame : {100, 110, 125}) {
        const StrokeMatch m = matchStrokes({kUp}, {{frame, kDirUp}});
        EXPECT_EQ(m.reportOfTruth[0], 0) << "frame " << frame;
    }
    for (int frame : {99, 126}) {
        const StrokeMatch m = matchStrokes({kUp}, {{frame, kDirUp}});
        EXPECT_EQ(m.reportOfTruth[0], -1) << "frame " << frame;
        EXPECT_EQ(m.truthOfReport[0], -1) << "frame " << frame;
    }
}

TEST(StrokeMatch, ASecondReportOfTheSameStrokeIsFalse) {
    const StrokeMatch m = matchStrokes({kUp}, {{104, kDirUp}, {108, kDirUp}});
    EXPECT_EQ(m.reportOfTruth[0], 0);
    EXPECT_EQ(m.truthOfReport[1], -1);
}

TEST(StrokeMatch, AReportOfAnotherTypeIsFalseAndDoesNotUseUpTheStroke) {
    const StrokeMatch m = matchStrokes({kUp}, {{104, kDirDown}, {108, kDirUp}});
    EXPECT_EQ(m.truthOfReport[0], -1);
    EXPECT_EQ(m.truthOfReport[1], 0);
}

TEST(StrokeMatch, OverlappingWindowsOfOneTypeFindBothStrokes) {
    // The first stroke's window reaches into the second stroke.
    const std::vector<TruthStroke> truth = {{kDirDown, 100, 110}, {kDirDown, 118, 126}};
    const StrokeMatch m = matchStrokes(truth, {{112, kDirDown}, {124, kDirDown}});
    EXPECT_EQ(m.reportOfTruth, (std::vector<int>{0, 1}));
}

TEST(ScoreTally, CountsFoundMissedFalseAndDelaysPerType) {
    ScoreTally tally;
    tally.add({kUp, {kDirToCenter, 200, 210}}, {{113, kDirUp}, {116, kDirUp}, {205, kDirDown}});
    tally.add({}, {{50, kDirUp}}); // a clip without strokes
    const TypeTally up = tally.byType().at(kDirUp);
    EXPECT_EQ(up.strokes, 1);
    EXPECT_EQ(up.found, 1);
    EXPECT_EQ(up.falseReports, 2);
    EXPECT_EQ(up.delays, std::vector<int>{3});
    EXPECT_DOUBLE_EQ(precisionOf(up), 1.0 / 3.0);
    EXPECT_EQ(tally.byType().at(kDirToCenter).missed, 1);
    EXPECT_EQ(tally.byType().at(kDirDown).falseReports, 1);
    const TypeTally all = tally.overall();
    EXPECT_EQ(all.strokes, 2);
    EXPECT_DOUBLE_EQ(recallOf(all), 0.5);
    EXPECT_DOUBLE_EQ(precisionOf(all), 0.25);
}

TEST(ScoreTally, MedianAndEmptyRatios) {
    EXPECT_DOUBLE_EQ(medianOf({7, -2, 3}), 3.0);
    EXPECT_DOUBLE_EQ(medianOf({4, 1, 2, 9}), 3.0);
    EXPECT_LT(precisionOf(TypeTally{}), 0.0);
    EXPECT_LT(recallOf(TypeTally{}), 0.0);
}

} // namespace
} // namespace zorvexa
