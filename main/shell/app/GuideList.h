// The guide videos: which clips teach the strokes of the current mode, with their
// captions, and the sequence that plays them one after the other on the guide thread.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace zorvexa {

struct GuideEntry {
    std::string file;    // name inside the DemoVideos folder
    std::string caption; // up to three lines separated by '\n'; blanks are part of it
};

// The clips of beginner mode (7 rows) or advanced mode (17 rows); both end with the same
// three rows, the last being the "<click to replay>" prompt.
std::vector<GuideEntry> buildGuideList(bool beginnerMode);

// The list being played and its cursor. The list is rebuilt only by the guide thread at
// the start of a sequence; the window thread reads it only while no sequence runs.
struct GuideState {
    std::vector<GuideEntry> guideList;
    std::atomic<int> guideIndex{0};
    std::atomic<bool> guideStopRequested{false};
};

// Plays one row; true when the clip played to its end.
using GuidePlayer = std::function<bool(int index, const GuideEntry& entry)>;

// Row a sequence starts from: the first row for the replay prompt (the last row) or a
// negative start, otherwise `start`.
int guideFirstRow(int start, int rowCount);

// One pass over the list of the given mode from `start`: stops after the last row, after
// a clip that did not play to its end, or when a stop was requested. The stop request is
// also honoured before a clip begins, so a stop that arrives between two clips does not
// let the next clip play.
void runGuideSequence(GuideState& guide, int start, bool beginnerMode, const GuidePlayer& play);

// Where a click into the guide pane restarts the sequence, given the row that was playing
// and the list's length. Left: one clip back (from the replay prompt: from the start);
// right: the same clip again.
int guideStartAfterLeftClick(int guideIndex, int rowCount);
int guideStartAfterRightClick(int guideIndex);

} // namespace zorvexa
