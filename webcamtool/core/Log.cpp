#include "webcamtool/core/Log.h"

#include <cstdio>

namespace zorvexa {

void logLine(const std::string& text) {
    std::fprintf(stderr, "vintrel: %s\n", text.c_str());
}

} // namespace zorvexa
