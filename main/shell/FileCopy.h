// Whole-file copies that never leave a half-written file behind: the copy is written to a
// temporary file in the destination's folder first and then put in place in one step.
#pragma once

#include <string>

namespace zorvexa {

enum class CopyMode {
    Replace,      // an existing destination is replaced
    KeepExisting, // an existing destination is left alone and the copy fails
};

// Copies `from` to `to`. False when the source cannot be read, the destination cannot be
// written, or (KeepExisting) the destination exists already.
bool copyFileAtomically(const std::string& from, const std::string& to, CopyMode mode);

} // namespace zorvexa
