#include "platform/x11/X11Errors.h"

#include <cstdlib>
#include <map>
#include <mutex>
#include <string>

#include "platform/DebugSink.h"
#include "platform/DesktopLost.h"

namespace zorvexa {

namespace {

std::mutex g_errorMutex;
std::map<Display*, std::atomic<int>*> g_errorCounters;
XErrorHandler g_previousHandler = nullptr;
std::once_flag g_installHandler;

int recordXError(Display* display, XErrorEvent* event) {
    XErrorHandler previous = nullptr;
    {
        std::lock_guard<std::mutex> lock(g_errorMutex);
        const auto found = g_errorCounters.find(display);
        if (found != g_errorCounters.end()) {
            found->second->fetch_add(1);
            char text[128] = {};
            XGetErrorText(display, event->error_code, text, sizeof text - 1);
            debugOutput(std::string("X error: ") + text + " (request " +
                        std::to_string(static_cast<int>(event->request_code)) + ")\n");
            return 0;
        }
        previous = g_previousHandler;
    }
    return previous != nullptr ? previous(display, event) : 0;
}

// The connection cannot be used any more and Xlib would end the process on return: the
// program saves what it must, then ends without running exit handlers and static
// destructors under threads that may still be inside Xlib.
[[noreturn]] int connectionLost(Display*) {
    debugOutput("X11: the connection to the X server is lost\n");
    desktopLost();
    std::_Exit(1);
}

} // namespace

void registerDisplay(Display* display, std::atomic<int>* counter) {
    std::call_once(g_installHandler, [] {
        XErrorHandler previous = XSetErrorHandler(recordXError);
        XSetIOErrorHandler(connectionLost);
        std::lock_guard<std::mutex> lock(g_errorMutex);
        g_previousHandler = previous;
    });
    std::lock_guard<std::mutex> lock(g_errorMutex);
    g_errorCounters[display] = counter;
}

void unregisterDisplay(Display* display) {
    std::lock_guard<std::mutex> lock(g_errorMutex);
    g_errorCounters.erase(display);
}

} // namespace zorvexa
