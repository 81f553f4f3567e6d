#include "main/shell/Calories.h"

#include <cerrno>
#include <climits>
#include <ctime>

#include <fcntl.h>
#include <unistd.h>

#include "main/shell/AppPaths.h"
#include "main/shell/AppState.h"
#include "main/shell/CLocaleText.h"
#include "main/shell/FileCopy.h"

namespace zorvexa {
namespace {

const char* const kDateAttributes = " class=\"DATEMEASURE\" style=\"SDNUM:\"1033;0;MM/DD/YY\";\"";
const char* const kTotalAttributes = "  class=\"TOTMEASURE\"";
const char* const kValueAttributes = "  class=\"VALMEASURE\"";

float caloriesOf(const AppState& state, int strokeIndex, float factor) {
    return static_cast<float>(state.strokeCount(strokeIndex)) * factor;
}

bool appendAll(const std::string& path, const std::string& data) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    std::size_t done = 0;
    bool ok = true;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ok = false;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0)
        ok = false;
    return ok;
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
                      const std::string& templatePath, const std::string& date) {
    if (totalCalories(state) == 0.0f)
        return true; // nothing to record
    // Fails, as it should, when the log exists already or the template is missing.
    copyFileAtomically(templatePath, logPath, CopyMode::KeepExisting);
    return appendAll(logPath, sessionLogRow(state, date));
}

bool appendSessionLog(const AppState& state, const AppPaths& paths) {
    if (totalCalories(state) == 0.0f)
        return true;
    carryOverSessionsLog(paths);
    const std::string templatePath = findDataFile(paths, kSessionsLogTemplateFileName);
    const std::string date = currentDateText();
    return saveWithFallback(
        sessionsLogWritePaths(paths),
        [&](const std::string& place) {
            return appendSessionLog(state, place, templatePath, date);
        },
        "sessions log row");
}

} // namespace zorvexa
