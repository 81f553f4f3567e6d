// Opening a file as a Linux desktop does: a file with the execute bit is started
// directly, with no arguments; anything else is handed to `xdg-open` as its single
// argument. The new process is detached (own session, reparented to init), never run
// through a shell, and keeps no descriptor of ours beyond standard output and error.
#pragma once

#include <string>

#include "platform/Desktop.h"

namespace zorvexa {

// FileNotFound when the path does not exist; Failed when the program (or xdg-open)
// cannot be started; Started once exec has succeeded.
OpenResult openFileDetached(const std::string& path);

// Full path of a program found in the directories of PATH, "" when not found.
std::string findInPath(const std::string& program);

} // namespace zorvexa
