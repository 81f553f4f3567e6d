#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include <opencv2/imgproc.hpp>

#include "main/motion/MotionExtractor.h"

using namespace zorvexa;

namespace {

cv::Mat background() {
    return cv::Mat(120, 160, CV_8UC3, cv::Scalar(40, 40, 40));
}

cv::Mat frameWith(const std::vector<cv::Rect>& regions) {
    cv::Mat f = background();
    for (const auto& r : regions)
        cv::rectangle(f, r, cv::Scalar(220, 220, 220), cv::FILLED);
    return f;
}

// Feeds frames 1..n (frame 1 arms the extractor) and returns the last count.
int feed(MotionExtractor& ex, const std::vector<std::vector<cv::Rect>>& frames, int first = 1) {
    int count = 0;
    int ts = first;
    for (const auto& regions : frames)
        count = ex.extract(frameWith(regions), ts++);
    return count;
}

// Three calm frames, then one frame in which the given regions appear.
int countForRegions(MotionExtractor& ex, const std::vector<cv::Rect>& regions) {
    return feed(ex, {{}, {}, {}, regions});
}

} // namespace

TEST(MotionExtractor, FirstFrameOnlyArmsAndKeepsPreviousSegments) {
    MotionExtractor ex;
    EXPECT_EQ(ex.extract(frameWith({cv::Rect(10, 10, 100, 100)}), 1), 0);
    EXPECT_TRUE(ex.segments().empty());

    ASSERT_EQ(countForRegions(ex, {cv::Rect(40, 30, 60, 60)}), 1);
    ASSERT_EQ(ex.significantSegments().size(), 1u);

    ex.restart();
    // The arming frame reports nothing and leaves the previous result in place.
    EXPECT_EQ(ex.extract(frameWith({cv::Rect(0, 0, 160, 120)}), 10), 0);
    ASSERT_EQ(ex.segments().size(), 1u);
    EXPECT_EQ(ex.segments()[0].width, 60);
}

TEST(MotionExtractor, LargestAreaThreshold) {
    {
        MotionExtractor ex;
        EXPECT_EQ(countForRegions(ex, {cv::Rect(40, 30, 50, 49)}), 0) << "area 2450";
    }
    {
        MotionExtractor ex;
        EXPECT_EQ(countForRegions(ex, {cv::Rect(40, 30, 50, 50)}), 1) << "area 2500";
        ASSERT_EQ(ex.segments().size(), 1u);
        EXPECT_EQ(ex.segments()[0].width, 50);
        EXPECT_EQ(ex.segments()[0].height, 50);
        EXPECT_EQ(ex.segments()[0].timestamp, 4.0);
    }
}

TEST(MotionExtractor, SecondRegionNeedsThreeTimesItsAreaAbove2500) {
    const cv::Rect largest(4, 10, 50, 60); // 3000
    {
        MotionExtractor ex; // 17 x 49 = 833: 2499 is not above 2500
        EXPECT_EQ(countForRegions(ex, {largest, cv::Rect(100, 20, 17, 49)}), 1);
    }
    {
        MotionExtractor ex; // 22 x 38 = 836: 2508
        EXPECT_EQ(countForRegions(ex, {largest, cv::Rect(100, 20, 22, 38)}), 2);
        ASSERT_EQ(ex.segments().size(), 2u);
        EXPECT_EQ(ex.segments()[0].width * ex.segments()[0].height, 3000) << "largest first";
        EXPECT_EQ(ex.segments()[1].width * ex.segments()[1].height, 836);
    }
}

TEST(MotionExtractor, WideLargestRegionAllowsOnlyOneSegment) {
    {
        MotionExtractor ex; // 112 wide: one segment even with a big neighbour
        EXPECT_EQ(countForRegions(ex, {cv::Rect(2, 2, 112, 40), cv::Rect(40, 70, 40, 40)}), 1);
        ASSERT_EQ(ex.segments().size(), 1u);
        EXPECT_EQ(ex.segments()[0].width, 112);
    }
    {
        MotionExtractor ex; // 111 wide: two
        EXPECT_EQ(countForRegions(ex, {cv::Rect(2, 2, 111, 40), cv::Rect(40, 70, 40, 40)}), 2);
    }
}

TEST(MotionExtractor, OnlyTheQualifyingRectanglesAreListed) {
    MotionExtractor ex;
    EXPECT_EQ(countForRegions(
                  ex, {cv::Rect(4, 4, 50, 60), cv::Rect(70, 4, 30, 30), cv::Rect(120, 60, 25, 25)}),
              2);
    ASSERT_EQ(ex.segments().size(), 2u);
    EXPECT_EQ(ex.segments()[1].width, 30);
    EXPECT_GE(ex.segmentRects().size(), 3u);
}

TEST(MotionExtractor, SparseSilhouetteIsNotListed) {
    // A large block moves and stops; later a small patch moves inside its fading
    // history. The motion component spans the old block, but the current silhouette in
    // it is far too sparse, so it counts by size yet is not listed.
    MotionExtractor ex;
    const int count =
        feed(ex, {{}, {}, {}, {cv::Rect(20, 10, 100, 100)}, {}, {}, {}, {cv::Rect(60, 50, 8, 8)}});
    EXPECT_EQ(count, 1);
    EXPECT_TRUE(ex.segments().empty());
}

TEST(MotionExtractor, SparseLargestStillLetsTheSecondBeListedAlone) {
    MotionExtractor ex;
    const int count = feed(ex, {{},
                                {},
                                {},
                                {cv::Rect(2, 10, 100, 100)},
                                {},
                                {},
                                {},
                                {cv::Rect(40, 50, 8, 8), cv::Rect(120, 10, 30, 30)}});
    EXPECT_EQ(count, 2);
    ASSERT_EQ(ex.segments().size(), 1u);
    EXPECT_EQ(ex.segments()[0].width, 30);
}

TEST(MotionExtractor, DownwardAndUpwardMotionAngles) {
    auto angleOfMovingBar = [](int dy) {
        MotionExtractor ex;
        ex.extract(background(), 1);
        ex.extract(background(), 2);
        double angle = -1;
        int y = dy > 0 ? 5 : 75;
        for (int ts = 3; ts < 9; ++ts, y += dy) {
            if (ex.extract(frameWith({cv::Rect(30, y, 90, 40)}), ts) > 0 && !ex.segments().empty())
                angle = ex.segments()[0].angle;
        }
        return angle;
    };
    const double down = angleOfMovingBar(6);
    const double up = angleOfMovingBar(-6);
    EXPECT_GT(down, 50);
    EXPECT_LT(down, 130);
    EXPECT_GT(up, 230);
    EXPECT_LT(up, 310);
}

TEST(MotionExtractor, RejectsFramesOfAnotherSize) {
    MotionExtractor ex;
    EXPECT_THROW(ex.extract(cv::Mat(240, 320, CV_8UC3, cv::Scalar(0)), 1), std::invalid_argument);
    EXPECT_THROW(ex.extract(cv::Mat(120, 160, CV_8UC1, cv::Scalar(0)), 1), std::invalid_argument);
    EXPECT_THROW(ex.extract(cv::Mat(), 1), std::invalid_argument);
    // Nothing changed: the next good frame still only arms the extractor.
    EXPECT_EQ(ex.extract(frameWith({cv::Rect(0, 0, 160, 120)}), 2), 0);
}

// A new run restarts its timestamps at 1; whatever moved in the previous run (which
// reached much larger timestamps) must not weigh on the new one: after reset the
// extractor sees a run exactly as a new one does.
TEST(MotionExtractor, ResetForgetsTheMotionOfThePreviousRun) {
    std::vector<std::vector<cv::Rect>> first, second;
    for (int i = 0; i < 200; ++i) // an arm moving up, over and over
        first.push_back({cv::Rect(30, 100 - (i * 6) % 80, 100, 40)});
    for (int i = 0; i < 12; ++i) // then one moving down
        second.push_back({cv::Rect(30, i * 6, 100, 40)});

    MotionExtractor used, fresh;
    feed(used, first);
    used.reset();
    for (int ts = 1; ts <= 12; ++ts) {
        const cv::Mat f = frameWith(second[static_cast<size_t>(ts - 1)]);
        ASSERT_EQ(used.extract(f, ts), fresh.extract(f, ts)) << ts;
        ASSERT_EQ(used.segments().size(), fresh.segments().size()) << ts;
        for (size_t k = 0; k < fresh.segments().size(); ++k) {
            EXPECT_EQ(used.segments()[k].y, fresh.segments()[k].y) << ts;
            EXPECT_EQ(used.segments()[k].height, fresh.segments()[k].height) << ts;
            EXPECT_DOUBLE_EQ(used.segments()[k].angle, fresh.segments()[k].angle) << ts;
        }
    }
    EXPECT_FALSE(fresh.segments().empty()) << "the second run does show motion";
}
