#include "commandtool/controller/TaskWindows.h"

#include <algorithm>

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
                                               const std::vector<WindowId>& ownWindows) {
    std::vector<TopLevelWindow> accepted;
    for (const TopLevelWindow& window : windows) {
        if (window.id != 0 &&
            std::find(ownWindows.begin(), ownWindows.end(), window.id) != ownWindows.end()) {
            continue;
        }
        if (acceptTaskWindow(window)) {
            accepted.push_back(window);
        }
    }
    return accepted;
}

} // namespace zorvexa
