#include "main/shell/Options.h"

#include <atomic>

#include <unistd.h>

#include "common/Profile.h"
#include "main/shell/AppPaths.h"
#include "main/shell/AppState.h"
#include "main/shell/CLocaleText.h"
#include "main/shell/FileCopy.h"

namespace zorvexa {
namespace {

constexpr const char* kOptions = "OPTIONS";
constexpr const char* kCalories = "CALORIES";

// Default texts: the factors as 32-bit floats, widened and printed with "%f".
const std::string& defaultTenth() {
    static const std::string text = formatC("%f", static_cast<double>(0.1f));
    return text;
}
const std::string& defaultTwentieth() {
    static const std::string text = formatC("%f", static_cast<double>(0.05f));
    return text;
}

struct Factor {
    const char* key;
    float AppState::*field;
    bool tenth; // default 0.1 rather than 0.05
};

// The factors in the order they are read.
constexpr Factor kFactors[] = {
    {"butterflyStroke", &AppState::butterflyStroke, true},
    {"backStroke", &AppState::backStroke, true},
    {"leftToRight", &AppState::leftToRight, false},
    {"rightToLeft", &AppState::rightToLeft, false},
    {"downRight", &AppState::downRight, false},
    {"downLeft", &AppState::downLeft, false},
    {"punchUpLeft", &AppState::punchUpLeft, false},
    {"punchUpRight", &AppState::punchUpRight, false},
    {"toCenter", &AppState::toCenter, true},
};

// The factors written back at exit, in that order; the others keep what the file holds.
constexpr Factor kSavedFactors[] = {
    {"butterflyStroke", &AppState::butterflyStroke, true},
    {"backStroke", &AppState::backStroke, true},
    {"downRight", &AppState::downRight, false},
    {"downLeft", &AppState::downLeft, false},
    {"toCenter", &AppState::toCenter, true},
};

void readFlag(const std::string& iniPath, const char* key, const char* defaultValue,
              std::atomic<bool>& flag, int item, const CheckMarkSetter& setCheckMark) {
    // Only the exact text "1" switches an option on; "true" or "yes" do not.
    flag.store(readProfileString(iniPath, kOptions, key, defaultValue) == "1");
    if (setCheckMark)
        setCheckMark(item, flag.load());
}

} // namespace

void loadOptions(AppState& state, const std::string& iniPath, const CheckMarkSetter& setCheckMark) {
    readFlag(iniPath, "mirrorImage", "0", state.mirrorImage, option_items::kMirrorImage,
             setCheckMark);
    readFlag(iniPath, "showCalorieCounter", "1", state.showCalorieCounter,
             option_items::kShowCalorieCounter, setCheckMark);
    readFlag(iniPath, "autoDisplayTransparentIndicator", "1", state.autoDisplayTransparentIndicator,
             option_items::kAutoDisplayTransparentIndicator, setCheckMark);
    for (const Factor& factor : kFactors) {
        const std::string text = readProfileString(
            iniPath, kCalories, factor.key, factor.tenth ? defaultTenth() : defaultTwentieth());
        state.*factor.field = static_cast<float>(parseCReal(text));
    }
    readFlag(iniPath, "useBeginnerSettings", "0", state.useBeginnerSettings,
             option_items::kUseBeginnerSettings, setCheckMark);
    readFlag(iniPath, "robustRecognition", "0", state.robustRecognition,
             option_items::kRobustRecognition, setCheckMark);
}

bool saveOptions(const AppState& state, const std::string& iniPath) {
    const auto flagText = [](const std::atomic<bool>& flag) { return flag.load() ? "1" : "0"; };
    bool ok = true;
    // Every value is attempted even after a failure, so as much as possible is kept.
    ok = writeProfileString(iniPath, kOptions, "mirrorImage", flagText(state.mirrorImage)) && ok;
    ok = writeProfileString(iniPath, kOptions, "showCalorieCounter",
                            flagText(state.showCalorieCounter)) &&
         ok;
    ok = writeProfileString(iniPath, kOptions, "autoDisplayTransparentIndicator",
                            flagText(state.autoDisplayTransparentIndicator)) &&
         ok;
    ok = writeProfileString(iniPath, kOptions, "useBeginnerSettings",
                            flagText(state.useBeginnerSettings)) &&
         ok;
    ok = writeProfileString(iniPath, kOptions, "robustRecognition",
                            flagText(state.robustRecognition)) &&
         ok;
    for (const Factor& factor : kSavedFactors)
        ok = writeProfileString(iniPath, kCalories, factor.key,
                                formatC("%5.5f", static_cast<double>(state.*factor.field))) &&
             ok;
    return ok;
}

void loadOptions(AppState& state, const AppPaths& paths, const CheckMarkSetter& setCheckMark) {
    loadOptions(state, iniReadPath(paths), setCheckMark);
}

bool saveOptions(const AppState& state, const AppPaths& paths) {
    const std::string readFrom = iniReadPath(paths);
    return saveWithFallback(
        iniWritePaths(paths),
        [&](const std::string& place) {
            // A settings file saved elsewhere last time is carried along, so keys this
            // program never writes (hand-edited factors) are not lost on the way.
            if (place != readFrom && ::access(readFrom.c_str(), F_OK) == 0 &&
                !copyFileAtomically(readFrom, place, CopyMode::Replace))
                return false;
            return saveOptions(state, place);
        },
        "settings");
}

} // namespace zorvexa
