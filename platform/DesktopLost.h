// What the program does when its desktop connection breaks (the X server went away, the
// user logged out): the backend calls desktopLost() from wherever it notices, and the
// handler set by the program saves what must not be lost before the process ends.
#pragma once

#include <functional>

namespace zorvexa {

// Replaces the handler (empty: none). Thread-safe.
void setDesktopLostHandler(std::function<void()> handler);
// Calls the handler once; later calls do nothing.
void desktopLost();

} // namespace zorvexa
