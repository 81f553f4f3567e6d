// Which top-level windows the task switching list offers.
#pragma once

#include <vector>

#include "platform/Desktop.h"

namespace zorvexa {

// True for a window a user would switch to: visible, not owned by another window,
// enabled, not the desktop or a panel, with a title, and not titled "Quandrel" or
// "Transparent Indicator Window" (the main program's stroke indicator).
bool acceptTaskWindow(const TopLevelWindow& window);

// The accepted windows in the order given (front-most first), leaving out the ids in
// `ownWindows` (the dialog itself, as each side names it; 0 stands for none).
std::vector<TopLevelWindow> collectTaskWindows(const std::vector<TopLevelWindow>& windows,
                                               const std::vector<WindowId>& ownWindows);

} // namespace zorvexa
