#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>

#include "main/shell/AppPaths.h"
#include "tests/main/shell/TempFolder.h"

using namespace zorvexa;
using namespace zorvexa::test;

namespace {

AppPaths pathsWith(const std::string& moduleDir, std::map<std::string, std::string> env) {
    return appPathsFor(moduleDir, [env = std::move(env)](const char* name) -> const char* {
        const auto it = env.find(name);
        return it == env.end() ? nullptr : it->second.c_str();
    });
}

} // namespace

TEST(ShellAppPaths, ModuleDirectoryIsTheExecutablesFolder) {
    EXPECT_EQ(std::filesystem::canonical(moduleDirectory()),
              std::filesystem::canonical(ZORVEXA_BIN_DIR));
}

TEST(ShellAppPaths, UserFoldersFollowTheXdgVariables) {
    const AppPaths set = pathsWith("/opt/zv/bin", {{"HOME", "/home/u"},
                                                   {"XDG_CONFIG_HOME", "/cfg"},
                                                   {"XDG_DATA_HOME", "/dat"},
                                                   {"XDG_DATA_DIRS", "/a/share/:relative:/b"}});
    EXPECT_EQ(set.configDir, "/cfg/zorvexa");
    EXPECT_EQ(set.dataDir, "/dat/zorvexa");
    const std::vector<std::string> shares{"/opt/zv/share/zorvexa", "/a/share/zorvexa",
                                          "/b/zorvexa"};
    EXPECT_EQ(set.shareDirs, shares);

    // Unset or relative values fall back to the defaults under the home folder.
    const AppPaths unset =
        pathsWith("/usr/bin", {{"HOME", "/home/u"}, {"XDG_CONFIG_HOME", "rel/cfg"}});
    EXPECT_EQ(unset.configDir, "/home/u/.config/zorvexa");
    EXPECT_EQ(unset.dataDir, "/home/u/.local/share/zorvexa");
    const std::vector<std::string> defaults{"/usr/share/zorvexa", "/usr/local/share/zorvexa",
                                            "/usr/share/zorvexa"};
    EXPECT_EQ(unset.shareDirs, defaults);
}

TEST(ShellAppPaths, FilesGoBesideTheProgramWhileItsFolderIsWritable) {
    TempFolder dir;
    AppPaths paths = pathsWith(dir / "bin", {{"HOME", dir / "home"}});
    std::filesystem::create_directory(paths.moduleDir);
    EXPECT_EQ(iniWritePaths(paths),
              (std::vector<std::string>{dir / "bin/Zorvexa.ini",
                                        dir / "home/.config/zorvexa/Zorvexa.ini"}));
    EXPECT_EQ(iniReadPath(paths), dir / "bin/Zorvexa.ini");
    EXPECT_EQ(sessionsLogWritePaths(paths).front(), dir / "bin/sessionslog.html");

    paths.moduleDir = dir / "missing";
    EXPECT_EQ(iniWritePaths(paths),
              std::vector<std::string>{dir / "home/.config/zorvexa/Zorvexa.ini"});
    EXPECT_EQ(sessionsLogViewPath(paths), dir / "home/.local/share/zorvexa/sessionslog.html");
}

TEST(ShellAppPaths, TheCopyWrittenLastIsTheOneRead) {
    TempFolder dir;
    AppPaths paths = pathsWith(dir / "bin", {{"HOME", dir / "home"}});
    std::filesystem::create_directories(paths.moduleDir);
    std::filesystem::create_directories(paths.configDir);
    const std::string beside = paths.moduleDir + "/Zorvexa.ini";
    const std::string user = paths.configDir + "/Zorvexa.ini";
    writeFile(beside, "");
    writeFile(user, "");
    const auto now = std::filesystem::file_time_type::clock::now();
    std::filesystem::last_write_time(beside, now - std::chrono::minutes(5));
    std::filesystem::last_write_time(user, now);
    EXPECT_EQ(iniReadPath(paths), user);
    std::filesystem::last_write_time(beside, now + std::chrono::minutes(5));
    EXPECT_EQ(iniReadPath(paths), beside);
    std::filesystem::last_write_time(beside, now);
    EXPECT_EQ(iniReadPath(paths), beside) << "a tie goes to the preferred place";
}

TEST(ShellAppPaths, DataFilesComeFromBesideTheProgramOrAShareFolder) {
    TempFolder dir;
    AppPaths paths =
        pathsWith(dir / "prefix/bin", {{"HOME", dir / "home"}, {"XDG_DATA_DIRS", dir / "sys"}});
    std::filesystem::create_directories(dir / "prefix/bin");
    std::filesystem::create_directories(dir / "sys/zorvexa/DemoVideos");
    EXPECT_EQ(findDataFile(paths, "DemoVideos"), dir / "sys/zorvexa/DemoVideos");
    std::filesystem::create_directories(dir / "prefix/share/zorvexa/DemoVideos");
    EXPECT_EQ(findDataFile(paths, "DemoVideos"), dir / "prefix/share/zorvexa/DemoVideos");
    std::filesystem::create_directories(dir / "prefix/bin/DemoVideos");
    EXPECT_EQ(findDataFile(paths, "DemoVideos"), dir / "prefix/bin/DemoVideos");
    EXPECT_EQ(findDataFile(paths, "nothing.html"), dir / "prefix/bin/nothing.html");
}

TEST(ShellAppPaths, AnInstalledProgramNeverWritesIntoItsPrefix) {
    // The prefix is writable here (as /usr is for root), yet the files go to the user's
    // folders once the installation's share folder exists.
    TempFolder dir;
    std::filesystem::create_directories(dir / "prefix/bin");
    std::filesystem::create_directories(dir / "prefix/share/zorvexa");
    const AppPaths paths = pathsWith(dir / "prefix/bin", {{"HOME", dir / "home"}});
    EXPECT_TRUE(paths.installed);
    EXPECT_EQ(iniWritePaths(paths),
              std::vector<std::string>{dir / "home/.config/zorvexa/Zorvexa.ini"});
    EXPECT_EQ(sessionsLogWritePaths(paths),
              std::vector<std::string>{dir / "home/.local/share/zorvexa/sessionslog.html"});
    EXPECT_EQ(iniReadPath(paths), dir / "home/.config/zorvexa/Zorvexa.ini");
}

TEST(ShellAppPaths, ConfigurationFromTheWorkingDirectoryElseTheUsersCopy) {
    TempFolder dir;
    std::filesystem::create_directories(dir / "prefix/bin");
    std::filesystem::create_directories(dir / "prefix/share/zorvexa");
    std::filesystem::create_directories(dir / "work");
    writeFile(dir / "prefix/share/zorvexa/config.xml", "shipped");
    const AppPaths paths = pathsWith(dir / "prefix/bin", {{"HOME", dir / "home"}});
    const std::string user = dir / "home/.config/zorvexa/config.xml";

    // First start from a folder without one: the user's copy is made from the shipped file.
    EXPECT_EQ(userConfigFile(paths, dir / "work", "config.xml"), user);
    EXPECT_EQ(readFile(user), "shipped");
    // The user's edits survive every later start, and a newer shipped file.
    writeFile(user, "edited");
    writeFile(dir / "prefix/share/zorvexa/config.xml", "shipped, version 2");
    EXPECT_EQ(userConfigFile(paths, dir / "work", "config.xml"), user);
    EXPECT_EQ(readFile(user), "edited");
    // A file in the working directory comes first.
    writeFile(dir / "work/config.xml", "here");
    EXPECT_EQ(userConfigFile(paths, dir / "work", "config.xml"), dir / "work/config.xml");
}

TEST(ShellAppPaths, ConfigurationFallsBackToTheShippedFileWhenNoCopyCanBeMade) {
    TempFolder dir;
    std::filesystem::create_directories(dir / "bin");
    std::filesystem::create_directories(dir / "work");
    writeFile(dir / "bin/commands.xml", "shipped");
    writeFile(dir / "blocked", ""); // a file where the configuration folder should be
    const AppPaths paths =
        pathsWith(dir / "bin", {{"HOME", dir / "home"}, {"XDG_CONFIG_HOME", dir / "blocked"}});
    EXPECT_EQ(userConfigFile(paths, dir / "work", "commands.xml"), dir / "bin/commands.xml");

    // Nothing shipped either: the user's place, where reading reports the missing file.
    EXPECT_EQ(userConfigFile(paths, dir / "work", "none.xml"), dir / "blocked/zorvexa/none.xml");
}

TEST(ShellAppPaths, TheSessionsLogOfTheEarlierPlaceIsCarriedOver) {
    // Run from its folder first, then installed there: the rows written beside the
    // program go on in the user's log.
    TempFolder dir;
    std::filesystem::create_directories(dir / "prefix/bin");
    writeFile(dir / "prefix/bin/sessionslog.html", "<TABLE><TR>row 1</TR>");
    std::filesystem::create_directories(dir / "prefix/share/zorvexa");
    const AppPaths paths = pathsWith(dir / "prefix/bin", {{"HOME", dir / "home"}});
    const std::string user = dir / "home/.local/share/zorvexa/sessionslog.html";

    carryOverSessionsLog(paths);
    EXPECT_EQ(readFile(user), "<TABLE><TR>row 1</TR>");
    // Once the user's log exists it is the one written; the old one is never copied again.
    writeFile(user, "<TABLE><TR>row 1</TR><TR>row 2</TR>");
    carryOverSessionsLog(paths);
    EXPECT_EQ(readFile(user), "<TABLE><TR>row 1</TR><TR>row 2</TR>");
    EXPECT_EQ(readFile(dir / "prefix/bin/sessionslog.html"), "<TABLE><TR>row 1</TR>");
}
