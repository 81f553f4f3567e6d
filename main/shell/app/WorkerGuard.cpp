#include "main/shell/app/WorkerGuard.h"

#include <exception>

#include "platform/DebugSink.h"

namespace zorvexa {

bool runGuarded(const std::string& worker, const std::function<void()>& job,
                const std::function<void(const std::string& text)>& report) {
    std::string what;
    try {
        job();
        return true;
    } catch (const std::exception& e) {
        what = e.what();
    } catch (...) {
        what = "an unknown error";
    }
    const std::string text = "The " + worker + " stopped after an error: " + what;
    debugOutput(text + "\n");
    if (report)
        report(text);
    return false;
}

} // namespace zorvexa
