#include "main/shell/app/GuideList.h"

namespace zorvexa {

namespace {

// Every blank in the captions matters: the lines are padded so that the caption box,
// which is sized by the longest line, has the same width from clip to clip.
const GuideEntry kBeginnerRows[] = {
    {"BeginnerMode.avi", ""},
    {"center_view.avi", "keep centered in view\nhands not visible\nwhen in rest position"},
    {"backstroke.avi", "to scroll up       \n                   \nDOUBLE-BACK-STROKE"},
    {"butterflystroke.avi", "to scroll down     \n                   \nBUTTERFLY-STROKE"},
};

const GuideEntry kAdvancedRows[] = {
    {"AdvancedMode.avi", ""},
    {"center_view.avi", "keep centered in view\nhands not visible  \nwhen in rest position"},
    {"backstroke.avi", "to scroll up         \n                   \nDOUBLE-BACK-STROKE"},
    {"butterflystroke.avi", "to scroll down       \n                   \nBUTTERFLY-STROKE"},
    {"rightstroke.avi", "show actions-menu    \n                   \n  RIGHT-STROKE"},
    {"rightstroke.avi", "show task manager    \n                   \nRIGHT-STROKE <again!>"},
    {"clap.avi", "select menu-item     \npull shoulders back\nand <CLAP>"},
    {"leftstroke.avi", "dismiss the menu     \n                   \n  LEFT-STROKE"},
    {"clap.avi", "switch to mouse mode \npull shoulders back\nand <CLAP>"},
    {"backstroke.avi", "move mouse up        \n                   \nDOUBLE-BACK-STROKE"},
    {"butterflystroke.avi", "move mouse down      \n                   \nBUTTERFLY-STROKE"},
    {"rightstroke.avi", "move mouse right     \n                   \n  RIGHT-STROKE"},
    {"leftstroke.avi", "move mouse left      \n                   \n  LEFT-STROKE"},
    {"clap.avi", "click mouse          \npull shoulders back\nand <CLAP>"},
};

const GuideEntry kClosingRows[] = {
    {"start_exercising.avi", ""},
    {"center_view.avi", "keep centered in view\nhands not visible  \nwhen in rest position"},
    {"center_view.avi", " \n                   \n  <click to replay>"},
};

} // namespace

std::vector<GuideEntry> buildGuideList(bool beginnerMode) {
    std::vector<GuideEntry> list;
    if (beginnerMode)
        list.insert(list.end(), std::begin(kBeginnerRows), std::end(kBeginnerRows));
    else
        list.insert(list.end(), std::begin(kAdvancedRows), std::end(kAdvancedRows));
    list.insert(list.end(), std::begin(kClosingRows), std::end(kClosingRows));
    return list;
}

int guideFirstRow(int start, int rowCount) {
    return (start == rowCount - 1 || start < 0) ? 0 : start;
}

void runGuideSequence(GuideState& guide, int start, bool beginnerMode, const GuidePlayer& play) {
    guide.guideList = buildGuideList(beginnerMode);
    const int rowCount = static_cast<int>(guide.guideList.size());
    guide.guideStopRequested = false;
    for (int row = guideFirstRow(start, rowCount); row < static_cast<int>(guide.guideList.size());
         ++row) {
        if (guide.guideStopRequested)
            return;
        guide.guideIndex = row;
        if (!play(row, guide.guideList[static_cast<size_t>(row)]))
            return;
        if (guide.guideStopRequested)
            return;
    }
}

int guideStartAfterLeftClick(int guideIndex, int rowCount) {
    return guideIndex == rowCount - 1 ? 0 : guideIndex - 1;
}

int guideStartAfterRightClick(int guideIndex) {
    return guideIndex;
}

} // namespace zorvexa
