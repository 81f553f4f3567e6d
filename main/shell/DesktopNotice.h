// The notice that tells the user which desktop backend this session got and what it
// cannot do there. Shown once: a dismissed notice is remembered in the settings file
// (section "DESKTOP", key "dismissedNotice", a digest of its text), so the same notice
// stays away while a different situation is announced again.
#pragma once

#include <string>
#include <vector>

namespace zorvexa {

struct AppPaths;

// The text of the notice; "" when there is nothing to say (no notes).
std::string desktopNoticeText(const std::string& backendName,
                              const std::vector<std::string>& notes);

// True when this text was dismissed before, according to the settings file `iniPath`.
bool desktopNoticeDismissed(const std::string& text, const std::string& iniPath);
// Remembers the dismissal; false when the settings file cannot be written.
bool dismissDesktopNotice(const std::string& text, const std::string& iniPath);

// The same with the program's own settings file.
bool desktopNoticeDismissed(const std::string& text, const AppPaths& paths);
bool dismissDesktopNotice(const std::string& text, const AppPaths& paths);

} // namespace zorvexa
