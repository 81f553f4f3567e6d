#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

#include "common/Profile.h"
#include "tests/main/shell/TempFolder.h"

using namespace zorvexa;
using namespace zorvexa::test;

TEST(ShellProfile, MissingFileSectionOrKeyGiveTheDefault) {
    TempFolder dir;
    const std::string ini = dir / "a.ini";
    EXPECT_EQ(readProfileString(ini, "OPTIONS", "mirrorImage", "0"), "0");
    writeFile(ini, "[OTHER]\nmirrorImage=1\n[OPTIONS]\nshow=1\n");
    EXPECT_EQ(readProfileString(ini, "OPTIONS", "mirrorImage", "0"), "0");
    EXPECT_EQ(readProfileString(ini, "MISSING", "show", "x"), "x");
    // Trailing blanks of a default are cut, as the Windows reader does.
    EXPECT_EQ(readProfileString(ini, "OPTIONS", "nothing", "dflt  "), "dflt");
    EXPECT_EQ(readProfileInt(ini, "OPTIONS", "nothing", 42), 42);
}

TEST(ShellProfile, NamesIgnoreCaseAndValuesLoseSurroundingBlanksAndQuotes) {
    TempFolder dir;
    const std::string ini = dir / "a.ini";
    writeFile(ini, "mirrorImage=9\r\n" // before any section: not a key
                   "  [ Options ]  \r\n"
                   "; a comment line\r\n"
                   "no equals sign here\r\n"
                   "  MIRRORIMAGE   =   1   \r\n"
                   "mirrorImage=2\r\n" // a second one is never read
                   "quoted=\"  spaced  \"\r\n"
                   "single='x'\r\n"
                   "empty=\r\n"
                   "[options]\r\n"
                   "other=3\r\n");
    EXPECT_EQ(readProfileString(ini, "OPTIONS", "mirrorimage", "0"), "1");
    EXPECT_EQ(readProfileString(ini, "options", "Quoted", ""), "  spaced  ");
    EXPECT_EQ(readProfileString(ini, "OPTIONS", "single", ""), "x");
    EXPECT_EQ(readProfileString(ini, "OPTIONS", "empty", "default"), "")
        << "a key that is there with an empty value is not missing";
    EXPECT_EQ(readProfileString(ini, "OPTIONS", "other", "d"), "d")
        << "the first section of a name is the one that counts";
    EXPECT_EQ(readProfileInt(ini, "OPTIONS", "mirrorImage", 5), 1);
    EXPECT_EQ(readProfileInt(ini, "OPTIONS", "empty", 5), 0);
}

TEST(ShellProfile, ValuesAreCutToTheCallersBuffer) {
    TempFolder dir;
    const std::string ini = dir / "a.ini";
    const std::string longValue(100, '7');
    ASSERT_TRUE(writeProfileString(ini, "CALORIES", "toCenter", longValue));
    EXPECT_EQ(readProfileString(ini, "CALORIES", "toCenter", ""), std::string(79, '7'));
    EXPECT_EQ(readProfileString(ini, "CALORIES", "toCenter", "", 5), "7777");
    EXPECT_EQ(readProfileString(ini, "CALORIES", "toCenter", "", 0), "");
    EXPECT_EQ(readProfileString(ini, "CALORIES", "nothing", longValue), std::string(79, '7'));
    EXPECT_EQ(readProfileString(ini, "CALORIES", "toCenter", "", 200), longValue);
    EXPECT_EQ(readProfileInt(ini, "CALORIES", "toCenter", 0), 2147483647) << "saturates";
}

TEST(ShellProfile, WritingOneKeyLeavesEveryOtherLineAsItWas) {
    TempFolder dir;
    const std::string ini = dir / "a.ini";
    const std::string before = "; settings\r\n"
                               "[OPTIONS]\r\n"
                               "  MirrorImage = 1\r\n"
                               "showCalorieCounter = 1  \r\n"
                               "\r\n"
                               "[CALORIES]\r\n"
                               "leftToRight=0.2\r\n"
                               "backStroke=0.3";
    writeFile(ini, before);
    ASSERT_TRUE(writeProfileString(ini, "options", "mirrorimage", "0"));
    EXPECT_EQ(readFile(ini), "; settings\r\n"
                             "[OPTIONS]\r\n"
                             "  MirrorImage=0\r\n"
                             "showCalorieCounter = 1  \r\n"
                             "\r\n"
                             "[CALORIES]\r\n"
                             "leftToRight=0.2\r\n"
                             "backStroke=0.3");

    // A new key goes to the end of its section, before the blank separator line; new
    // lines follow the file's CR LF style.
    ASSERT_TRUE(writeProfileString(ini, "OPTIONS", "useBeginnerSettings", "1"));
    ASSERT_TRUE(writeProfileString(ini, "CALORIES", "toCenter", "0.10000"));
    ASSERT_TRUE(writeProfileString(ini, "EXTRA", "k", "v"));
    EXPECT_EQ(readFile(ini), "; settings\r\n"
                             "[OPTIONS]\r\n"
                             "  MirrorImage=0\r\n"
                             "showCalorieCounter = 1  \r\n"
                             "useBeginnerSettings=1\r\n"
                             "\r\n"
                             "[CALORIES]\r\n"
                             "leftToRight=0.2\r\n"
                             "backStroke=0.3\r\n"
                             "toCenter=0.10000\r\n"
                             "\r\n"
                             "[EXTRA]\r\n"
                             "k=v\r\n");
}

TEST(ShellProfile, WritingCreatesTheFileAndLeavesNoTemporaryFiles) {
    TempFolder dir;
    const std::string ini = dir / "new.ini";
    ASSERT_TRUE(writeProfileString(ini, "OPTIONS", "a", "1"));
    ASSERT_TRUE(writeProfileString(ini, "OPTIONS", "b", "2"));
    ASSERT_TRUE(writeProfileString(ini, "OPTIONS", "a", "3"));
    EXPECT_EQ(readFile(ini), "[OPTIONS]\na=3\nb=2\n");
    int entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        (void)entry;
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

TEST(ShellProfile, FailedWritesReportFailureAndKeepTheFile) {
    TempFolder dir;
    const std::string ini = dir / "a.ini";
    writeFile(ini, "[OPTIONS]\na=1\n");
    // Values that would break the line structure are refused.
    EXPECT_FALSE(writeProfileString(ini, "OPTIONS", "a", "1\n[EVIL]\nb=2"));
    EXPECT_FALSE(writeProfileString(ini, "OPTIONS", "a=b", "1"));
    EXPECT_FALSE(writeProfileString(ini, "OPT]IONS", "a", "1"));
    EXPECT_FALSE(writeProfileString(ini, "", "a", "1"));
    EXPECT_FALSE(writeProfileString(ini, "OPTIONS", " ", "1"));
    EXPECT_EQ(readFile(ini), "[OPTIONS]\na=1\n");

    EXPECT_FALSE(writeProfileString(dir / "missing-folder/a.ini", "OPTIONS", "a", "1"));

    // A folder in the file's place cannot be replaced.
    std::filesystem::create_directory(dir / "folder.ini");
    EXPECT_FALSE(writeProfileString(dir / "folder.ini", "OPTIONS", "a", "1"));

    if (::geteuid() != 0) { // permissions do not bind the super-user
        ::chmod(ini.c_str(), 0444);
        EXPECT_FALSE(writeProfileString(ini, "OPTIONS", "a", "2"));
        EXPECT_EQ(readFile(ini), "[OPTIONS]\na=1\n");
    }
}

TEST(ShellProfile, WritingThroughALinkUpdatesTheLinkedFile) {
    TempFolder dir;
    writeFile(dir / "real.ini", "[S]\nk=1\n");
    std::filesystem::create_symlink(dir / "real.ini", dir / "link.ini");
    ASSERT_TRUE(writeProfileString(dir / "link.ini", "S", "k", "2"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.ini"));
    EXPECT_EQ(readFile(dir / "real.ini"), "[S]\nk=2\n");
}
