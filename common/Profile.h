// A small private-profile (INI) file module with the semantics Windows programs expect of
// their settings files:
//
// - "[section]" header lines, followed by "key=value" lines. Section and key names
//   compare without regard to (ASCII) case; blanks around names and values are ignored.
//   A value enclosed in a matching pair of single or double quotes loses the quotes.
// - The first matching section and the first matching key in it win. Lines before the
//   first section and lines without '=' are never keys.
// - A missing file, section or key reads as the default (with its trailing blanks cut).
//   A key that is present with an empty value reads as "".
// - Reads return what fits a caller's character buffer of `bufferSize` bytes including
//   the terminating zero: at most bufferSize - 1 characters; longer values are cut.
// - Writing one key replaces that key's line and leaves every other line of the file
//   byte for byte as it was (line endings included); a missing key is added at the end
//   of its section, a missing section at the end of the file, a missing file is created.
// - A write never leaves a half-written file: the new contents go to a temporary file in
//   the same folder, which then replaces the old file in one rename. A file without write
//   permission is left alone and the write reports failure, as a read-only settings file
//   does on Windows.
//
// Text is handled as 8-bit bytes; no character set conversion takes place.
#pragma once

#include <cstddef>
#include <string>

namespace zorvexa {

// Buffer size the settings readers use unless they say otherwise: values are cut at 79
// characters.
constexpr std::size_t kProfileBufferSize = 80;

// The value of `key` in `section` of the file at `path`, or `defaultValue`.
std::string readProfileString(const std::string& path, const std::string& section,
                              const std::string& key, const std::string& defaultValue,
                              std::size_t bufferSize = kProfileBufferSize);

// The value of `key` read as a decimal integer (optional blanks and sign, then digits; a
// value without leading digits is 0; out-of-range values saturate), or `defaultValue`
// when the key is missing.
int readProfileInt(const std::string& path, const std::string& section, const std::string& key,
                   int defaultValue);

// Sets `key` in `section` to `value`. Returns false, leaving the file as it was, when the
// file cannot be written or when a name or the value could not be stored as one line (an
// empty name, a line break or zero byte anywhere, '=' in the key, ']' in the section).
bool writeProfileString(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& value);

} // namespace zorvexa
