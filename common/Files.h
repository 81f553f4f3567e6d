// Whole-file reading, and writing files so that an interrupted write never leaves a
// half-written file behind: data goes to a new temporary file beside the target, which
// then takes its place.
#pragma once

#include <string>

namespace zorvexa {

// Reads the whole file into `text`; false when it cannot be opened or read.
bool readWholeFile(const std::string& path, std::string& text);

// Writes all of `data` to the descriptor, continuing after interrupted or short writes.
bool writeAll(int fd, const std::string& data);

// Creates `path`, which must not exist yet, holding `data` flushed to disk; with
// `permissions` >= 0 the file gets those permission bits. On failure nothing is left at
// `path`.
bool writeNewFile(const std::string& path, const std::string& data, int permissions = -1);

// A name for a temporary file beside `target`, unique within this process.
std::string temporaryNameFor(const std::string& target);

} // namespace zorvexa
