// The table of Windows virtual-key names ("VK_RETURN", "VK_CONTROL", ...) that config.xml
// and commands.xml use to name keys, and the lookup with its decimal fall-back.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

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

// A key attribute as written in a file, with the line of its element (from 1).
struct KeyMention {
    std::string text;
    int line = 0;
};

// One message for each mention whose key the desktop cannot send (`canSend` of its code
// is false), in the order given: "FILE, line N: the key NAME cannot be sent on this
// desktop". Empty texts and texts that read as code 0 are no keys and are left alone.
std::vector<std::string> unsendableKeyMessages(const std::string& file,
                                               const std::vector<KeyMention>& mentions,
                                               const KeyNameTable& table,
                                               const std::function<bool(int)>& canSend);

// A shared, immutable table for callers that need no table of their own.
const KeyNameTable& defaultKeyNames();

} // namespace zorvexa
