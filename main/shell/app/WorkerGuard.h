// Runs a worker thread's job so that no exception ends the program: one that escapes the
// job is caught and described to `report` (and a debug line), and the job has ended.
#pragma once

#include <functional>
#include <string>

namespace zorvexa {

// True when the job returned by itself, false when an exception ended it.
bool runGuarded(const std::string& worker, const std::function<void()>& job,
                const std::function<void(const std::string& text)>& report);

} // namespace zorvexa
