#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "main/shell/app/GuideList.h"

namespace zorvexa {
namespace {

std::vector<std::string> lines(const std::string& caption) {
    std::vector<std::string> out;
    size_t start = 0;
    for (;;) {
        const size_t end = caption.find('\n', start);
        out.push_back(caption.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos)
            return out;
        start = end + 1;
    }
}

TEST(GuideList, BeginnerAndAdvancedListsShareTheClosingRows) {
    const auto beginner = buildGuideList(true);
    const auto advanced = buildGuideList(false);
    ASSERT_EQ(beginner.size(), 7u);
    ASSERT_EQ(advanced.size(), 17u);
    EXPECT_EQ(beginner.front().file, "BeginnerMode.avi");
    EXPECT_EQ(advanced.front().file, "AdvancedMode.avi");
    for (size_t k = 1; k <= 3; ++k) {
        EXPECT_EQ(beginner[beginner.size() - k].file, advanced[advanced.size() - k].file);
        EXPECT_EQ(beginner[beginner.size() - k].caption, advanced[advanced.size() - k].caption);
    }
    EXPECT_EQ(beginner.back().caption, " \n                   \n  <click to replay>");
    EXPECT_EQ(beginner[4].file, "start_exercising.avi");
    EXPECT_TRUE(beginner[4].caption.empty());
}

TEST(GuideList, CaptionBlanksAreKept) {
    const auto beginner = buildGuideList(true);
    const auto advanced = buildGuideList(false);
    // "hands not visible" has no padding in the beginner list and two blanks elsewhere.
    EXPECT_EQ(lines(beginner[1].caption)[1], "hands not visible");
    EXPECT_EQ(lines(advanced[1].caption)[1], "hands not visible  ");
    EXPECT_EQ(lines(beginner[5].caption)[1], "hands not visible  ");
    // First lines are padded to 19 characters for beginners and 21 for the advanced list.
    EXPECT_EQ(lines(beginner[2].caption)[0], "to scroll up       ");
    EXPECT_EQ(lines(advanced[2].caption)[0].size(), 21u);
    for (size_t row = 2; row + 3 < advanced.size(); ++row) {
        const auto parts = lines(advanced[row].caption);
        ASSERT_EQ(parts.size(), 3u) << row;
        EXPECT_EQ(parts[0].size(), 21u) << row;
        EXPECT_EQ(parts[1].size(), 19u) << row;
    }
    EXPECT_EQ(advanced[5].caption,
              "show task manager    \n                   \nRIGHT-STROKE <again!>");
    EXPECT_EQ(advanced[8].caption, "switch to mouse mode \npull shoulders back\nand <CLAP>");
}

struct Recorder {
    std::vector<int> played;
    int failAt = -1;
    GuideState* guide = nullptr;
    int stopAfter = -1;
    GuidePlayer player() {
        return [this](int index, const GuideEntry&) {
            played.push_back(index);
            if (index == stopAfter)
                guide->guideStopRequested = true;
            return index != failAt;
        };
    }
};

TEST(GuideSequence, PlaysEveryRowOnceAndLeavesTheCursorOnTheLast) {
    GuideState guide;
    Recorder rec;
    runGuideSequence(guide, 0, true, rec.player());
    EXPECT_EQ(rec.played, (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(guide.guideIndex.load(), 6);
    EXPECT_EQ(guide.guideList.size(), 7u);
}

TEST(GuideSequence, StartRowRules) {
    GuideState guide;
    Recorder rec;
    runGuideSequence(guide, 16, false, rec.player()); // the replay prompt: from the top
    EXPECT_EQ(rec.played.front(), 0);
    EXPECT_EQ(rec.played.size(), 17u);
    rec.played.clear();
    runGuideSequence(guide, -1, false, rec.player());
    EXPECT_EQ(rec.played.front(), 0);
    rec.played.clear();
    runGuideSequence(guide, 3, false, rec.player());
    EXPECT_EQ(rec.played.front(), 3);
    EXPECT_EQ(rec.played.size(), 14u);
    // A start beyond the list plays nothing.
    rec.played.clear();
    runGuideSequence(guide, 40, true, rec.player());
    EXPECT_TRUE(rec.played.empty());
}

TEST(GuideSequence, StopsAfterAnInterruptedClipOrAStopRequest) {
    GuideState guide;
    Recorder rec;
    rec.failAt = 2;
    runGuideSequence(guide, 0, true, rec.player());
    EXPECT_EQ(rec.played, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(guide.guideIndex.load(), 2);

    Recorder stopper;
    stopper.guide = &guide;
    stopper.stopAfter = 1;
    runGuideSequence(guide, 0, true, stopper.player());
    EXPECT_EQ(stopper.played, (std::vector<int>{0, 1}));
}

TEST(GuideSequence, AStaleStopRequestIsClearedAtTheStart) {
    GuideState guide;
    guide.guideStopRequested = true;
    Recorder rec;
    runGuideSequence(guide, 0, true, rec.player());
    EXPECT_EQ(rec.played.size(), 7u);
}

TEST(GuideClicks, LeftGoesBackOneClipRightReplays) {
    // During the first clip: back to "-1", which starts at the first row.
    EXPECT_EQ(guideFirstRow(guideStartAfterLeftClick(0, 17), 17), 0);
    // During clip 5 (row 4): clip 4 (row 3).
    EXPECT_EQ(guideFirstRow(guideStartAfterLeftClick(4, 17), 17), 3);
    // On the replay prompt: the whole list again, for either button.
    EXPECT_EQ(guideFirstRow(guideStartAfterLeftClick(16, 17), 17), 0);
    EXPECT_EQ(guideFirstRow(guideStartAfterRightClick(6), 7), 0);
    EXPECT_EQ(guideFirstRow(guideStartAfterRightClick(4), 7), 4);
}

} // namespace
} // namespace zorvexa
