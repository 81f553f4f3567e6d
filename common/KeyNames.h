// The table of Windows virtual-key names ("VK_RETURN", "VK_CONTROL", ...) that config.xml
// and commands.xml use to name keys, and the lookup with its decimal fall-back.
#pragma once

#include <map>
#include <string>

namespace zorvexa {

class KeyNameTable {
  public:
    KeyNameTable(); // fills the 196 names

    // Code of an exact (case-sensitive) name; otherwise the text's leading decimal
    // integer; 0 when there is none.
    int lookupKey(const std::string& text) const;

    const std::map<std::string, int>& entries() const { return names_; }

  private:
    std::map<std::string, int> names_;
};

// A shared, immutable table for callers that need no table of their own.
const KeyNameTable& defaultKeyNames();

} // namespace zorvexa
