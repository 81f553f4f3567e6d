// One quiet line on standard error for things a user cannot act on.
#pragma once

#include <string>

namespace zorvexa {

void logLine(const std::string& text);

} // namespace zorvexa
