#include "commandtool/controller/TaskWindows.h"

namespace zorvexa {

bool acceptTaskWindow(const TopLevelWindow& window) {
    if (!window.visible || window.owned || window.disabled || window.desktopOrDock) {
        return false;
    }
    if (window.title.empty()) {
        return false;
    }
    return window.title != "Quandrel" && window.title != "Transparent Indicator Window";
}

std::vector<TopLevelWindow> collectTaskWindows(const std::vector<TopLevelWindow>& windows,
                                               WindowId ownWindow) {
    std::vector<TopLevelWindow> accepted;
    for (const TopLevelWindow& window : windows) {
        if (window.id != 0 && window.id == ownWindow) {
            continue;
        }
        if (acceptTaskWindow(window)) {
            accepted.push_back(window);
        }
    }
    return accepted;
}

} // namespace zorvexa
