// Calories of the running session: the total shown in the status bar once a second, and
// the row appended to the sessions log when the program ends.
#pragma once

#include <string>

namespace zorvexa {

struct AppState;
struct AppPaths;

// Each stroke counter times its factor, summed in single precision in the order DOWN, UP,
// UPLEFT, UPRIGHT, DOWNLEFT, DOWNRIGHT, LEFTTORIGHT, RIGHTTOLEFT, TOCENTER.
float totalCalories(const AppState& state);

// "[fps 30] [calories burnt: 1.5]"
std::string statusLineText(int fps, float calories);

// One tick of the one-second status timer: measures `fps` as the frames counted since the
// previous tick, remembers the frame counter in `previousFrameCounter` and returns the
// status bar's text.
std::string updateStatusLine(AppState& state, int& previousFrameCounter);

// Today's local date as MM/DD/YY.
std::string currentDateText();

// The sessions log row of the session: date, total, then count and calories of DOWN, UP,
// DOWNLEFT, DOWNRIGHT and TOCENTER; ends with CR LF.
std::string sessionLogRow(const AppState& state, const std::string& date);

// Appends the session's row to the log at `logPath`, whole or not at all (the longer log
// is written beside it and then renamed into its place). The rows before it are those of
// `continueFrom` (the newest copy of the log, possibly in the other folder; empty: the
// log itself); a new log starts as a copy of the template. A session without calories
// leaves no row and creates no log. False when the row could not be appended.
bool appendSessionLog(const AppState& state, const std::string& logPath,
                      const std::string& templatePath, const std::string& date,
                      const std::string& continueFrom = {});

// The same with the program's own log and template (see AppPaths.h); when the log cannot
// be written beside the executable, the row goes to the per-user log instead, which then
// carries the earlier rows along.
bool appendSessionLog(const AppState& state, const AppPaths& paths);

} // namespace zorvexa
