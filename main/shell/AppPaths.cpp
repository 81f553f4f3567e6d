#include "main/shell/AppPaths.h"

#include "main/shell/FileCopy.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zorvexa {
namespace {

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return path.substr(0, slash); // "" for a file in the root folder, like "/x" -> ""
}

std::string homeDirectory(const std::function<const char*(const char*)>& getenv) {
    const char* home = getenv("HOME");
    if (home && *home)
        return home;
    if (const passwd* entry = ::getpwuid(::getuid()))
        if (entry->pw_dir && *entry->pw_dir)
            return entry->pw_dir;
    return "/tmp";
}

// An XDG base folder: the variable when it holds an absolute path, else the default.
std::string xdgFolder(const std::function<const char*(const char*)>& getenv, const char* name,
                      const std::string& fallback) {
    const char* value = getenv(name);
    if (value && value[0] == '/')
        return value;
    return fallback;
}

bool exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

// The existing file of the two that was modified last; `preferred` when neither exists
// or both carry the same time.
std::string newestOf(const std::string& preferred, const std::string& other) {
    struct stat a {};
    struct stat b {};
    const bool hasA = ::stat(preferred.c_str(), &a) == 0;
    const bool hasB = ::stat(other.c_str(), &b) == 0;
    if (!hasB)
        return preferred;
    if (!hasA)
        return other;
    const bool otherNewer =
        b.st_mtim.tv_sec > a.st_mtim.tv_sec ||
        (b.st_mtim.tv_sec == a.st_mtim.tv_sec && b.st_mtim.tv_nsec > a.st_mtim.tv_nsec);
    return otherNewer ? other : preferred;
}

std::vector<std::string> writePaths(const AppPaths& paths, const std::string& userDir,
                                    const std::string& name) {
    std::vector<std::string> places;
    if (!paths.installed && isWritableFolder(paths.moduleDir.empty() ? "/" : paths.moduleDir))
        places.push_back(paths.moduleDir + "/" + name);
    places.push_back(userDir + "/" + name);
    return places;
}

// The file to read of the two places a file may have been saved in.
std::string readPath(const AppPaths& paths, const std::string& userDir, const std::string& name) {
    const std::string beside = paths.moduleDir + "/" + name;
    const std::string user = userDir + "/" + name;
    const std::string preferred = writePaths(paths, userDir, name).front();
    return newestOf(preferred, preferred == beside ? user : beside);
}

} // namespace

std::string moduleDirectory() {
    std::string buffer(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= buffer.size())
        return currentDirectory();
    buffer.resize(static_cast<std::size_t>(length));
    return folderOf(buffer);
}

AppPaths resolveAppPaths() {
    return appPathsFor(moduleDirectory(), [](const char* name) { return std::getenv(name); });
}

AppPaths appPathsFor(const std::string& moduleDir,
                     const std::function<const char*(const char*)>& getenv) {
    AppPaths paths;
    paths.moduleDir = moduleDir;
    const std::string home = homeDirectory(getenv);
    paths.configDir = xdgFolder(getenv, "XDG_CONFIG_HOME", home + "/.config") + "/zorvexa";
    paths.dataDir = xdgFolder(getenv, "XDG_DATA_HOME", home + "/.local/share") + "/zorvexa";

    paths.shareDirs.push_back(folderOf(moduleDir) + "/share/zorvexa");
    paths.installed = exists(paths.shareDirs.front());
    const char* dataDirs = getenv("XDG_DATA_DIRS");
    std::string list = (dataDirs && *dataDirs) ? dataDirs : "/usr/local/share:/usr/share";
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t colon = list.find(':', start);
        if (colon == std::string::npos)
            colon = list.size();
        std::string entry = list.substr(start, colon - start);
        while (entry.size() > 1 && entry.back() == '/')
            entry.pop_back();
        if (!entry.empty() && entry[0] == '/')
            paths.shareDirs.push_back(entry + "/zorvexa");
        start = colon + 1;
    }
    return paths;
}

bool isWritableFolder(const std::string& folder) {
    struct stat info {};
    return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           ::access(folder.c_str(), W_OK | X_OK) == 0;
}

bool ensureFolder(const std::string& folder) {
    if (folder.empty())
        return true;
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode);
    const std::string parent = folderOf(folder);
    if (parent != folder && parent != "." && !ensureFolder(parent))
        return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

std::vector<std::string> iniWritePaths(const AppPaths& paths) {
    return writePaths(paths, paths.configDir, kIniFileName);
}

std::string iniReadPath(const AppPaths& paths) {
    return readPath(paths, paths.configDir, kIniFileName);
}

std::vector<std::string> sessionsLogWritePaths(const AppPaths& paths) {
    return writePaths(paths, paths.dataDir, kSessionsLogFileName);
}

std::string sessionsLogViewPath(const AppPaths& paths) {
    return readPath(paths, paths.dataDir, kSessionsLogFileName);
}

void carryOverSessionsLog(const AppPaths& paths) {
    const std::string target = sessionsLogWritePaths(paths).front();
    if (exists(target))
        return;
    for (const std::string& earlier : {paths.moduleDir + "/" + kSessionsLogFileName,
                                       paths.dataDir + "/" + kSessionsLogFileName}) {
        if (earlier == target || !exists(earlier))
            continue;
        if (ensureFolder(folderOf(target)) &&
            copyFileAtomically(earlier, target, CopyMode::KeepExisting))
            shellLog("carried the sessions log over from " + earlier + " to " + target);
        return;
    }
}

std::string findDataFile(const AppPaths& paths, const std::string& name) {
    const std::string beside = paths.moduleDir + "/" + name;
    if (exists(beside))
        return beside;
    for (const std::string& dir : paths.shareDirs) {
        const std::string candidate = dir + "/" + name;
        if (exists(candidate))
            return candidate;
    }
    return beside;
}

std::string currentDirectory() {
    char* cwd = ::getcwd(nullptr, 0);
    const std::string here = cwd ? cwd : ".";
    std::free(cwd);
    return here;
}

std::string userConfigFile(const AppPaths& paths, const std::string& workDir,
                           const std::string& name) {
    const std::string here = workDir + "/" + name;
    if (exists(here))
        return here;
    const std::string user = paths.configDir + "/" + name;
    if (exists(user))
        return user;
    const std::string shipped = findDataFile(paths, name);
    if (!exists(shipped))
        return user;
    // KeepExisting: a copy made meanwhile by another instance is left as it is.
    if (ensureFolder(paths.configDir) &&
        (copyFileAtomically(shipped, user, CopyMode::KeepExisting) || exists(user))) {
        shellLog("created " + user + " from " + shipped);
        return user;
    }
    shellLog("could not create " + user + "; using " + shipped);
    return shipped;
}

bool saveWithFallback(const std::vector<std::string>& places,
                      const std::function<bool(const std::string&)>& save, const char* what) {
    for (std::size_t i = 0; i < places.size(); ++i) {
        if (i > 0)
            shellLog(std::string("could not save the ") + what + " in " + places[i - 1] +
                     ", saving it in " + places[i]);
        if (ensureFolder(folderOf(places[i])) && save(places[i]))
            return true;
    }
    shellLog(std::string("could not save the ") + what);
    return false;
}

void shellLog(const std::string& line) {
    std::fprintf(stderr, "zorvexa: %s\n", line.c_str());
}

} // namespace zorvexa
