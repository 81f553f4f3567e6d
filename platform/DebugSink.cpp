#include "platform/DebugSink.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <utility>

namespace zorvexa {

namespace {

struct Sink {
    std::mutex mutex;
    std::function<void(const std::string&)> capture;
};

// Never destroyed: a thread still writing while the process ends must find it intact.
Sink& sink() {
    static Sink* instance = new Sink;
    return *instance;
}

} // namespace

void debugOutput(const std::string& text) {
    Sink& s = sink();
    // One lock for capture and standard error alike, so lines of concurrent threads
    // never interleave.
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.capture) {
        s.capture(text);
        return;
    }
    const char* enabled = std::getenv("ZORVEXA_DEBUG");
    if (enabled == nullptr || *enabled == '\0') {
        return;
    }
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

void setDebugCapture(std::function<void(const std::string&)> capture) {
    Sink& s = sink();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.capture = std::move(capture);
}

} // namespace zorvexa
