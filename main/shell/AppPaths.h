// Where the main program keeps its files.
//
// The program looks for its files beside its executable, as a portable program does: the
// settings file "Zorvexa.ini", the sessions log "sessionslog.html", the log's template and
// the "DemoVideos" folder. That is the case in a build tree and in an unpacked copy.
//
// An installed program (one with a "share/zorvexa" folder beside its "bin" folder) never
// writes into its installation, even when it could (run by root); nor does a program whose
// folder its user cannot write. Then
// - the settings file lives in the per-user configuration folder
//   ($XDG_CONFIG_HOME, else ~/.config, then "zorvexa"),
// - the sessions log lives in the per-user data folder
//   ($XDG_DATA_HOME, else ~/.local/share, then "zorvexa"),
// - read-only data (the log's template, DemoVideos) comes from the installation's share
//   folder (<prefix>/share/zorvexa beside <prefix>/bin, then $XDG_DATA_DIRS/zorvexa).
// A save that fails beside the executable (read-only file, full disk) is repeated in the
// per-user folder, so nothing the user saved is lost; when both copies of a file exist,
// the one written last is the one read.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace zorvexa {

constexpr const char* kIniFileName = "Zorvexa.ini";
constexpr const char* kSessionsLogFileName = "sessionslog.html";
constexpr const char* kSessionsLogTemplateFileName = "exercise_log_table_template.html";
constexpr const char* kDemoVideosFolderName = "DemoVideos";

struct AppPaths {
    std::string moduleDir;              // folder of the executable, without a trailing '/'
    std::string configDir;              // per-user settings folder
    std::string dataDir;                // per-user data folder
    std::vector<std::string> shareDirs; // read-only data folders of an installation
    bool installed = false;             // the executable's own share folder exists
};

// Folder of the running executable (from /proc/self/exe), without a trailing '/'; the
// working directory when the executable cannot be found.
std::string moduleDirectory();

// The paths of this process, from its executable and its environment.
AppPaths resolveAppPaths();

// The paths for an executable in `moduleDir` under the given environment (`getenv`
// returns nullptr for a variable that is not set).
AppPaths appPathsFor(const std::string& moduleDir,
                     const std::function<const char*(const char*)>& getenv);

// True when new files can be created in `folder`.
bool isWritableFolder(const std::string& folder);

// Creates `folder` and its missing parents (new folders are private to the user).
bool ensureFolder(const std::string& folder);

// Places to save the settings file, preferred first: beside the executable while that
// folder is writable, then the per-user configuration folder.
std::vector<std::string> iniWritePaths(const AppPaths& paths);
// The settings file to read: the one of the two places that was written last, else the
// preferred place.
std::string iniReadPath(const AppPaths& paths);

// The same for the sessions log, with the per-user data folder.
std::vector<std::string> sessionsLogWritePaths(const AppPaths& paths);
std::string sessionsLogViewPath(const AppPaths& paths);

// Before a row is added: when the place the sessions log is now written in has no log
// yet while the other place holds one (beside the executable before the program was
// installed or its folder became read-only, or the reverse), that log is copied to the
// new place first, so that no earlier row goes missing from the log being written.
void carryOverSessionsLog(const AppPaths& paths);

// A read-only data file or folder: beside the executable, else in the first share folder
// that has it; beside the executable when none has it.
std::string findDataFile(const AppPaths& paths, const std::string& name);

// The editable configuration file `name` (config.xml, commands.xml) a program uses: the
// one in the working directory `workDir` when there is one; else the user's copy in the
// per-user configuration folder, made from the shipped file (findDataFile) on first use
// and never overwritten. When no copy can be made the shipped file itself is used (it
// then cannot be edited); when there is no shipped file either, the user's path is
// returned and reading it reports the missing file.
std::string userConfigFile(const AppPaths& paths, const std::string& workDir,
                           const std::string& name);

// The working directory, without a trailing '/'; "." when it cannot be read.
std::string currentDirectory();

// Tries `save` on each place in turn until one succeeds, creating the folder of every
// place after the first. A fall-back and a total failure each leave one log line.
bool saveWithFallback(const std::vector<std::string>& places,
                      const std::function<bool(const std::string&)>& save, const char* what);

// One quiet diagnostic line on standard error.
void shellLog(const std::string& line);

} // namespace zorvexa
