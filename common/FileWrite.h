// Writing files so that an interrupted write never leaves a half-written file behind:
// data goes to a new temporary file beside the target, which then takes its place.
#pragma once

#include <string>

namespace zorvexa {

// Writes all of `data` to the descriptor, continuing after interrupted or short writes.
bool writeAll(int fd, const std::string& data);

// Creates `path`, which must not exist yet, holding `data` flushed to disk; with
// `permissions` >= 0 the file gets those permission bits. On failure nothing is left at
// `path`.
bool writeNewFile(const std::string& path, const std::string& data, int permissions = -1);

// A name for a temporary file beside `target`, unique within this process.
std::string temporaryNameFor(const std::string& target);

} // namespace zorvexa
