// X error trapping shared by the connections of the X11 backend. Xlib's handlers are
// process-wide: ours count the errors of registered connections and pass any other
// connection's errors to the handler installed before. A broken connection (server gone)
// first lets the program save its state (desktopLost), then Xlib ends the process.
#pragma once

#include <atomic>

#include <X11/Xlib.h>

namespace zorvexa {

void registerDisplay(Display* display, std::atomic<int>* counter);
void unregisterDisplay(Display* display);

} // namespace zorvexa
