// One process-wide sink for diagnostic strings. Silent by default; written to standard
// error when ZORVEXA_DEBUG is set; tests can capture what is written.
#pragma once

#include <functional>
#include <string>

namespace zorvexa {

void debugOutput(const std::string& text);

// Replaces the sink's destination (empty function: back to the default). Thread-safe.
void setDebugCapture(std::function<void(const std::string&)> capture);

} // namespace zorvexa
