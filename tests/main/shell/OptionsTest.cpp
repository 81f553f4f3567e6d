#include <gtest/gtest.h>

#include <chrono>
#include <clocale>
#include <filesystem>
#include <utility>
#include <vector>

#include "common/Profile.h"
#include "main/shell/AppPaths.h"
#include "main/shell/AppState.h"
#include "main/shell/Options.h"
#include "tests/main/shell/TempFolder.h"

using namespace zorvexa;
using namespace zorvexa::test;

namespace {

const char* const kFreshFile = "[OPTIONS]\n"
                               "mirrorImage=0\n"
                               "showCalorieCounter=1\n"
                               "autoDisplayTransparentIndicator=1\n"
                               "useBeginnerSettings=0\n"
                               "robustRecognition=0\n"
                               "\n"
                               "[CALORIES]\n"
                               "butterflyStroke=0.10000\n"
                               "backStroke=0.10000\n"
                               "downRight=0.05000\n"
                               "downLeft=0.05000\n"
                               "toCenter=0.10000\n";

AppPaths pathsIn(const TempFolder& dir) {
    AppPaths paths;
    paths.moduleDir = dir / "bin";
    paths.configDir = dir / "config/zorvexa";
    paths.dataDir = dir / "data/zorvexa";
    paths.shareDirs = {dir / "share/zorvexa"};
    std::filesystem::create_directory(paths.moduleDir);
    return paths;
}

} // namespace

TEST(ShellOptions, FirstStartWithoutAFileUsesDefaultsAndExitWritesThem) {
    TempFolder dir;
    const std::string ini = dir / "Zorvexa.ini";
    AppState state;
    ASSERT_TRUE(state.useBeginnerSettings.load());
    std::vector<std::pair<int, bool>> marks;
    loadOptions(state, ini, [&](int item, bool checked) { marks.emplace_back(item, checked); });

    EXPECT_FALSE(state.mirrorImage.load());
    EXPECT_TRUE(state.showCalorieCounter.load());
    EXPECT_TRUE(state.autoDisplayTransparentIndicator.load());
    EXPECT_FALSE(state.useBeginnerSettings.load()) << "the file's default wins over the record";
    const std::vector<std::pair<int, bool>> expectedMarks{
        {32776, false}, {32821, true}, {32820, true}, {32824, false}, {32831, false}};
    EXPECT_EQ(marks, expectedMarks);
    EXPECT_EQ(state.butterflyStroke, 0.1f);
    EXPECT_EQ(state.backStroke, 0.1f);
    EXPECT_EQ(state.toCenter, 0.1f);
    for (float factor : {state.leftToRight, state.rightToLeft, state.downRight, state.downLeft,
                         state.punchUpLeft, state.punchUpRight})
        EXPECT_EQ(factor, 0.05f);
    EXPECT_FALSE(fileExists(ini)) << "reading never creates the file";

    ASSERT_TRUE(saveOptions(state, ini));
    EXPECT_EQ(readFile(ini), kFreshFile);
}

TEST(ShellOptions, OnlyTheExactTextOneSwitchesAnOptionOn) {
    TempFolder dir;
    const std::string ini = dir / "Zorvexa.ini";
    writeFile(ini, "[options]\nMIRRORIMAGE=true\nshowCalorieCounter= 1 \n"
                   "autoDisplayTransparentIndicator=yes\nuseBeginnerSettings=01\n");
    AppState state;
    loadOptions(state, ini);
    EXPECT_FALSE(state.mirrorImage.load());
    EXPECT_TRUE(state.showCalorieCounter.load());
    EXPECT_FALSE(state.autoDisplayTransparentIndicator.load());
    EXPECT_FALSE(state.useBeginnerSettings.load());
}

TEST(ShellOptions, RobustRecognitionIsKeptAndShownByItsMenuItem) {
    TempFolder dir;
    const std::string ini = dir / "Zorvexa.ini";
    writeFile(ini, "[OPTIONS]\nrobustRecognition=1\n");
    AppState state;
    std::vector<std::pair<int, bool>> marks;
    loadOptions(state, ini, [&](int item, bool checked) { marks.emplace_back(item, checked); });
    EXPECT_TRUE(state.robustRecognition.load());
    ASSERT_FALSE(marks.empty());
    EXPECT_EQ(marks.back(), std::make_pair(option_items::kRobustRecognition, true));
    state.robustRecognition = false;
    ASSERT_TRUE(saveOptions(state, ini));
    EXPECT_EQ(readProfileString(ini, "OPTIONS", "robustRecognition", ""), "0");
}

TEST(ShellOptions, FactorsReadLikeAtofAndOnlyFiveAreWrittenBack) {
    TempFolder dir;
    const std::string ini = dir / "Zorvexa.ini";
    writeFile(ini, "[CALORIES]\nleftToRight=0.2\nbutterflyStroke=abc\nbackStroke=  1.25kcal\n"
                   "punchUpLeft=-3e-1\n[OPTIONS]\nmirrorImage=1\n");
    for (int run = 0; run < 3; ++run) {
        AppState state;
        loadOptions(state, ini);
        EXPECT_EQ(state.leftToRight, 0.2f);
        EXPECT_EQ(state.punchUpLeft, -0.3f);
        EXPECT_TRUE(state.mirrorImage.load());
        if (run == 0) {
            EXPECT_EQ(state.butterflyStroke, 0.0f) << "text that is not a number is 0";
            EXPECT_EQ(state.backStroke, 1.25f);
        }
        ASSERT_TRUE(saveOptions(state, ini));
    }
    EXPECT_EQ(readFile(ini), "[CALORIES]\nleftToRight=0.2\nbutterflyStroke=0.00000\n"
                             "backStroke=1.25000\npunchUpLeft=-3e-1\ndownRight=0.05000\n"
                             "downLeft=0.05000\ntoCenter=0.10000\n[OPTIONS]\nmirrorImage=1\n"
                             "showCalorieCounter=1\nautoDisplayTransparentIndicator=1\n"
                             "useBeginnerSettings=0\nrobustRecognition=0\n");
}

TEST(ShellOptions, NumbersUseAPointWhateverTheProcessLocale) {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    TempFolder dir;
    const std::string ini = dir / "Zorvexa.ini";
    writeFile(ini, "[CALORIES]\nbackStroke=0.25\n");
    AppState state;
    loadOptions(state, ini);
    const bool saveOk = saveOptions(state, ini);
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(state.backStroke, 0.25f);
    EXPECT_TRUE(saveOk);
    EXPECT_EQ(readProfileString(ini, "CALORIES", "backStroke", ""), "0.25000");
}

TEST(ShellOptions, SavingFallsBackToTheUserFolderWhenTheFileCannotBeReplaced) {
    TempFolder dir;
    const AppPaths paths = pathsIn(dir);
    // A folder in the file's place cannot be replaced, whoever runs the test.
    std::filesystem::create_directory(paths.moduleDir + "/Zorvexa.ini");
    AppState state;
    loadOptions(state, paths);
    state.mirrorImage = true;
    ASSERT_TRUE(saveOptions(state, paths));
    const std::string user = paths.configDir + "/Zorvexa.ini";
    EXPECT_EQ(readProfileString(user, "OPTIONS", "mirrorImage", ""), "1");
    EXPECT_EQ(iniReadPath(paths), user);
    AppState next;
    loadOptions(next, paths);
    EXPECT_TRUE(next.mirrorImage.load());
}

TEST(ShellOptions, SavingInAnotherPlaceCarriesHandEditedKeysAlong) {
    TempFolder dir;
    const AppPaths paths = pathsIn(dir);
    const std::string beside = paths.moduleDir + "/Zorvexa.ini";
    const std::string user = paths.configDir + "/Zorvexa.ini";
    // An earlier run had to save in the user folder; the copy beside the program is older.
    writeFile(beside, "[CALORIES]\nleftToRight=0.9\n");
    std::filesystem::last_write_time(beside, std::filesystem::file_time_type::clock::now() -
                                                 std::chrono::hours(1));
    std::filesystem::create_directories(paths.configDir);
    writeFile(user, "[CALORIES]\nleftToRight=0.2\n");
    ASSERT_EQ(iniReadPath(paths), user);

    AppState state;
    loadOptions(state, paths);
    EXPECT_EQ(state.leftToRight, 0.2f);
    ASSERT_TRUE(saveOptions(state, paths));
    EXPECT_EQ(iniReadPath(paths), beside);
    EXPECT_EQ(readProfileString(beside, "CALORIES", "leftToRight", ""), "0.2");
}

TEST(ShellOptions, AProgramFolderThatCannotBeWrittenUsesTheUserFolder) {
    TempFolder dir;
    AppPaths paths = pathsIn(dir);
    paths.moduleDir = dir / "no-such-folder";
    AppState state;
    loadOptions(state, paths);
    state.showCalorieCounter = false;
    ASSERT_TRUE(saveOptions(state, paths));
    EXPECT_EQ(
        readProfileString(paths.configDir + "/Zorvexa.ini", "OPTIONS", "showCalorieCounter", ""),
        "0");
    EXPECT_FALSE(fileExists(paths.moduleDir));
}
