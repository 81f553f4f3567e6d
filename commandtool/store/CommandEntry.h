// The records of commands.xml that the command selection tool keeps: one command and one
// window entry (the commands configured for one window class).
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace zorvexa {

// One "command" element. Key texts are kept exactly as written and resolved through the
// key-name table only when the command is executed.
struct CommandEntry {
    std::string shortcut;
    std::string action;
    std::string description;
    std::string key;
    std::string extKey1;
    std::string extKey2;
    std::int32_t id = 0;
    int line = 0; // of the element in the file, from 1
};

// One window entry whose "windowClass" matched the target window's class.
struct CommandWindowEntry {
    std::string name;
    std::string windowClass;
    std::string targetWindow;
    std::string targetWindowClass;
    std::map<std::int32_t, CommandEntry> commands; // by id, ascending = document order
};

} // namespace zorvexa
