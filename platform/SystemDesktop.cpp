#include <cstdlib>

#include "platform/DebugSink.h"
#include "platform/Desktop.h"
#include "platform/NullDesktop.h"
#include "platform/x11/X11Desktop.h"

namespace zorvexa {

std::shared_ptr<Desktop> openSystemDesktop() {
    const char* display = std::getenv("DISPLAY");
    if (display != nullptr && *display != '\0') {
        if (std::shared_ptr<Desktop> desktop = X11Desktop::open()) {
            return desktop;
        }
        debugOutput(std::string("cannot connect to X display ") + display +
                    ", running without desktop input\n");
    }
    return std::make_shared<NullDesktop>();
}

} // namespace zorvexa
