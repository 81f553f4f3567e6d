#include "main/shell/Calories.h"

#include <climits>
#include <ctime>

#include <sys/stat.h>
#include <unistd.h>

#include "common/Files.h"

#include "main/shell/AppPaths.h"
#include "main/shell/AppState.h"
#include "main/shell/CLocaleText.h"

namespace zorvexa {
namespace {

const char* const kDateAttributes = " class=\"DATEMEASURE\" style=\"SDNUM:\"1033;0;MM/DD/YY\";\"";
const char* const kTotalAttributes = "  class=\"TOTMEASURE\"";
const char* const kValueAttributes = "  class=\"VALMEASURE\"";

float caloriesOf(const AppState& state, int strokeIndex, float factor) {
    return static_cast<float>(state.strokeCount(strokeIndex)) * factor;
}

// The whole of a regular file (a folder in the log's place holds no rows).
bool readRegularFile(const std::string& path, std::string& text) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && readWholeFile(path, text);
}

// Puts `text` in place of the file at `path` in one rename, so that a write that fails
// halfway leaves the file as it was. The file keeps its permission bits.
bool replaceWhole(const std::string& path, const std::string& text) {
    struct stat info {};
    const int permissions =
        ::stat(path.c_str(), &info) == 0 ? static_cast<int>(info.st_mode & 07777) : -1;
    const std::string temp = temporaryNameFor(path);
    if (!writeNewFile(temp, text, permissions))
        return false;
    if (::rename(temp.c_str(), path.c_str()) == 0)
        return true;
    ::unlink(temp.c_str());
    return false;
}

} // namespace

float totalCalories(const AppState& state) {
    float total = caloriesOf(state, kStrokeDown, state.butterflyStroke);
    total += caloriesOf(state, kStrokeUp, state.backStroke);
    total += caloriesOf(state, kStrokeUpLeft, state.punchUpLeft);
    total += caloriesOf(state, kStrokeUpRight, state.punchUpRight);
    total += caloriesOf(state, kStrokeDownLeft, state.downLeft);
    total += caloriesOf(state, kStrokeDownRight, state.downRight);
    total += caloriesOf(state, kStrokeLeftToRight, state.leftToRight);
    total += caloriesOf(state, kStrokeRightToLeft, state.rightToLeft);
    total += caloriesOf(state, kStrokeToCenter, state.toCenter);
    return total;
}

std::string statusLineText(int fps, float calories) {
    return formatC("[fps %d] [calories burnt: %0.1f]", fps, static_cast<double>(calories));
}

std::string updateStatusLine(AppState& state, int& previousFrameCounter) {
    const int frames = state.frameCounter.load();
    // The counter may have been set back (playback, stepping); the difference is taken in
    // 64 bits and kept within int so that it cannot overflow.
    long long measured = static_cast<long long>(frames) - previousFrameCounter;
    if (measured > INT_MAX)
        measured = INT_MAX;
    if (measured < INT_MIN)
        measured = INT_MIN;
    state.fps.store(static_cast<int>(measured));
    const std::string text = statusLineText(state.fps.load(), totalCalories(state));
    previousFrameCounter = frames;
    return text;
}

std::string currentDateText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (!::localtime_r(&now, &local))
        return "00/00/00";
    char text[16];
    std::strftime(text, sizeof text, "%m/%d/%y", &local);
    return text;
}

std::string sessionLogRow(const AppState& state, const std::string& date) {
    struct Pair {
        int strokeIndex;
        float factor;
    };
    const Pair pairs[] = {
        {kStrokeDown, state.butterflyStroke}, {kStrokeUp, state.backStroke},
        {kStrokeDownLeft, state.downLeft},    {kStrokeDownRight, state.downRight},
        {kStrokeToCenter, state.toCenter},
    };
    std::string row = "<TR>";
    row += formatC("<TD%s>%s</TD>", kDateAttributes, date.c_str());
    row += formatC("<TD%s>%4.2f</TD>", kTotalAttributes, static_cast<double>(totalCalories(state)));
    for (const Pair& pair : pairs)
        row += formatC("<TD%s>%d</TD><TD%s>%4.2f</TD>", kValueAttributes,
                       state.strokeCount(pair.strokeIndex), kValueAttributes,
                       static_cast<double>(caloriesOf(state, pair.strokeIndex, pair.factor)));
    row += "</TR>\r\n";
    return row;
}

bool appendSessionLog(const AppState& state, const std::string& logPath,
                      const std::string& templatePath, const std::string& date,
                      const std::string& continueFrom) {
    if (totalCalories(state) == 0.0f)
        return true; // nothing to record
    const std::string& from = continueFrom.empty() ? logPath : continueFrom;
    std::string text;
    if (!readRegularFile(from, text) && (from == logPath || !readRegularFile(logPath, text))) {
        struct stat info {};
        if (::lstat(logPath.c_str(), &info) == 0)
            return false; // a log that cannot be read is never replaced by a shorter one
        if (!readWholeFile(templatePath, text))
            text.clear(); // no template: the rows alone
    }
    return replaceWhole(logPath, text + sessionLogRow(state, date));
}

bool appendSessionLog(const AppState& state, const AppPaths& paths) {
    if (totalCalories(state) == 0.0f)
        return true;
    carryOverSessionsLog(paths);
    const std::string templatePath = findDataFile(paths, kSessionsLogTemplateFileName);
    const std::string date = currentDateText();
    // The log continues from its newest copy wherever it is written, so one file always
    // holds every row, the one the File menu opens.
    const std::string newest = sessionsLogViewPath(paths);
    return saveWithFallback(
        sessionsLogWritePaths(paths),
        [&](const std::string& place) {
            return appendSessionLog(state, place, templatePath, date, newest);
        },
        "sessions log row");
}

} // namespace zorvexa
