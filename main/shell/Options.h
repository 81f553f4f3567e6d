// The five user options and nine calorie factors, kept in the settings file's sections
// "OPTIONS" and "CALORIES". Read once at start-up, written once at a normal exit.
#pragma once

#include <functional>
#include <string>

namespace zorvexa {

struct AppState;
struct AppPaths;

// Command ids of the Options menu items that show an option's check mark.
namespace option_items {
constexpr int kMirrorImage = 32776;
constexpr int kShowCalorieCounter = 32821;
constexpr int kAutoDisplayTransparentIndicator = 32820;
constexpr int kUseBeginnerSettings = 32824;
constexpr int kRobustRecognition = 32831;
} // namespace option_items

// Sets the check mark of a menu item (command id, checked).
using CheckMarkSetter = std::function<void(int, bool)>;

// Reads the options and factors from `iniPath` into `state`; missing values take their
// defaults. Each option's check mark is set right after the option is read.
void loadOptions(AppState& state, const std::string& iniPath,
                 const CheckMarkSetter& setCheckMark = {});

// Writes the five options and the five factors that are saved (butterflyStroke,
// backStroke, downRight, downLeft, toCenter) to `iniPath`; every other line of the file
// stays as it was. False when a value could not be written.
bool saveOptions(const AppState& state, const std::string& iniPath);

// The same with the program's own settings file (see AppPaths.h); saving falls back to
// the per-user folder when the preferred place cannot be written.
void loadOptions(AppState& state, const AppPaths& paths, const CheckMarkSetter& setCheckMark = {});
bool saveOptions(const AppState& state, const AppPaths& paths);

} // namespace zorvexa
