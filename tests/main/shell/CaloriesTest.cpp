#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <regex>

#include <sys/resource.h>
#include <utime.h>

#include "main/shell/AppPaths.h"
#include "main/shell/AppState.h"
#include "main/shell/Calories.h"
#include "tests/main/shell/TempFolder.h"

using namespace zorvexa;
using namespace zorvexa::test;

namespace {

void setDefaultFactors(AppState& state) {
    state.butterflyStroke = state.backStroke = state.toCenter = 0.1f;
    state.leftToRight = state.rightToLeft = state.downRight = state.downLeft = 0.05f;
    state.punchUpLeft = state.punchUpRight = 0.05f;
}

void setCount(AppState& state, int index, int count) {
    state.strokeCounts[static_cast<std::size_t>(index)] = count;
}

const char* const kRowOfTenUpAndFiveDown =
    "<TR><TD class=\"DATEMEASURE\" style=\"SDNUM:\"1033;0;MM/DD/YY\";\">12/07/26</TD>"
    "<TD  class=\"TOTMEASURE\">1.50</TD>"
    "<TD  class=\"VALMEASURE\">5</TD><TD  class=\"VALMEASURE\">0.50</TD>"
    "<TD  class=\"VALMEASURE\">10</TD><TD  class=\"VALMEASURE\">1.00</TD>"
    "<TD  class=\"VALMEASURE\">0</TD><TD  class=\"VALMEASURE\">0.00</TD>"
    "<TD  class=\"VALMEASURE\">0</TD><TD  class=\"VALMEASURE\">0.00</TD>"
    "<TD  class=\"VALMEASURE\">0</TD><TD  class=\"VALMEASURE\">0.00</TD></TR>\r\n";

} // namespace

TEST(ShellCalories, TenUpAndFiveDownGiveOneAndAHalf) {
    AppState state;
    setDefaultFactors(state);
    setCount(state, kStrokeUp, 10);
    setCount(state, kStrokeDown, 5);
    EXPECT_FLOAT_EQ(totalCalories(state), 1.5f);
    EXPECT_EQ(statusLineText(30, totalCalories(state)), "[fps 30] [calories burnt: 1.5]");
    EXPECT_EQ(sessionLogRow(state, "12/07/26"), kRowOfTenUpAndFiveDown);
}

TEST(ShellCalories, TotalIsSummedInSinglePrecisionInTheFixedOrder) {
    AppState state;
    // DOWN, UP and UPLEFT come first: (1e8 + 1) is 1e8 in single precision, so the total
    // is 0 only when the products are added in float, left to right.
    state.butterflyStroke = 1e8f;
    state.backStroke = 1.0f;
    state.punchUpLeft = -1e8f;
    setCount(state, kStrokeDown, 1);
    setCount(state, kStrokeUp, 1);
    setCount(state, kStrokeUpLeft, 1);
    EXPECT_EQ(totalCalories(state), 0.0f);

    // Every direction is priced by its own factor.
    AppState priced;
    const std::pair<int, float AppState::*> pricing[] = {
        {kStrokeDown, &AppState::butterflyStroke},    {kStrokeUp, &AppState::backStroke},
        {kStrokeUpLeft, &AppState::punchUpLeft},      {kStrokeUpRight, &AppState::punchUpRight},
        {kStrokeDownLeft, &AppState::downLeft},       {kStrokeDownRight, &AppState::downRight},
        {kStrokeLeftToRight, &AppState::leftToRight}, {kStrokeRightToLeft, &AppState::rightToLeft},
        {kStrokeToCenter, &AppState::toCenter},
    };
    for (const auto& [index, factor] : pricing) {
        AppState one;
        one.*factor = 0.5f;
        setCount(one, index, 3);
        EXPECT_EQ(totalCalories(one), 1.5f) << "stroke slot " << index;
    }
}

TEST(ShellCalories, StrokesWithoutColumnsRaiseOnlyTheTotal) {
    AppState state;
    setDefaultFactors(state);
    setCount(state, kStrokeLeftToRight, 4);
    setCount(state, kStrokeUpRight, 4);
    const std::string row = sessionLogRow(state, "01/02/03");
    EXPECT_NE(row.find("class=\"TOTMEASURE\">0.40</TD>"), std::string::npos) << row;
    EXPECT_EQ(row.find(">4</TD>"), std::string::npos) << row;
    const std::regex cell("<TD");
    EXPECT_EQ(
        std::distance(std::sregex_iterator(row.begin(), row.end(), cell), std::sregex_iterator()),
        12);
}

TEST(ShellCalories, StatusLineMeasuresFramesSinceTheLastTick) {
    AppState state;
    setDefaultFactors(state);
    setCount(state, kStrokeToCenter, 7);
    int previous = 0;
    state.frameCounter = 29;
    EXPECT_EQ(updateStatusLine(state, previous), "[fps 29] [calories burnt: 0.7]");
    EXPECT_EQ(state.fps.load(), 29);
    EXPECT_EQ(previous, 29);
    state.frameCounter = 3; // playback started again from the first frame
    EXPECT_EQ(updateStatusLine(state, previous), "[fps -26] [calories burnt: 0.7]");
    state.frameCounter = 2147483647;
    previous = -2147483647 - 1;
    updateStatusLine(state, previous);
    EXPECT_EQ(state.fps.load(), 2147483647) << "saturates instead of overflowing";
}

TEST(ShellCalories, DateIsMonthDayYear) {
    EXPECT_TRUE(std::regex_match(currentDateText(), std::regex(R"(\d\d/\d\d/\d\d)")));
}

TEST(ShellSessionsLog, NoRowAndNoLogWithoutCalories) {
    TempFolder dir;
    writeFile(dir / "template.html", "<table>\n");
    AppState state;
    setCount(state, kStrokeUp, 10); // factors are all 0
    EXPECT_TRUE(appendSessionLog(state, dir / "log.html", dir / "template.html", "01/01/01"));
    EXPECT_FALSE(fileExists(dir / "log.html"));
}

TEST(ShellSessionsLog, TemplateIsCopiedOnceAndRowsAreAppended) {
    TempFolder dir;
    writeFile(dir / "template.html", "<table>\n");
    AppState state;
    setDefaultFactors(state);
    setCount(state, kStrokeUp, 10);
    setCount(state, kStrokeDown, 5);
    ASSERT_TRUE(appendSessionLog(state, dir / "log.html", dir / "template.html", "12/07/26"));
    EXPECT_EQ(readFile(dir / "log.html"), std::string("<table>\n") + kRowOfTenUpAndFiveDown);

    writeFile(dir / "template.html", "<changed>\n");
    ASSERT_TRUE(appendSessionLog(state, dir / "log.html", dir / "template.html", "12/07/26"));
    EXPECT_EQ(readFile(dir / "log.html"),
              std::string("<table>\n") + kRowOfTenUpAndFiveDown + kRowOfTenUpAndFiveDown);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              2)
        << "no temporary files are left behind";
}

TEST(ShellSessionsLog, MissingTemplateStillKeepsTheRow) {
    TempFolder dir;
    AppState state;
    setDefaultFactors(state);
    setCount(state, kStrokeUp, 10);
    setCount(state, kStrokeDown, 5);
    ASSERT_TRUE(appendSessionLog(state, dir / "log.html", dir / "none.html", "12/07/26"));
    EXPECT_EQ(readFile(dir / "log.html"), kRowOfTenUpAndFiveDown);
}

TEST(ShellSessionsLog, ARowThatCannotBeWrittenBesideTheProgramGoesToTheUserLog) {
    TempFolder dir;
    AppPaths paths;
    paths.moduleDir = dir / "bin";
    paths.configDir = dir / "config/zorvexa";
    paths.dataDir = dir / "data/zorvexa";
    paths.shareDirs = {dir / "share/zorvexa"};
    std::filesystem::create_directories(paths.moduleDir);
    std::filesystem::create_directories(paths.shareDirs[0]);
    writeFile(paths.shareDirs[0] + "/exercise_log_table_template.html", "<t>\n");
    // A folder where the log should be: appending there fails for every user.
    std::filesystem::create_directory(paths.moduleDir + "/sessionslog.html");

    AppState state;
    setDefaultFactors(state);
    setCount(state, kStrokeDown, 5);
    ASSERT_TRUE(appendSessionLog(state, paths));
    const std::string userLog = paths.dataDir + "/sessionslog.html";
    const std::string text = readFile(userLog);
    EXPECT_EQ(text.rfind("<t>\n<TR>", 0), 0u) << text;
    EXPECT_EQ(sessionsLogViewPath(paths), userLog);
}

// A write that fails partway (here: the disk quota is reached in the middle of the row)
// leaves the log as it was, never a partial row.
TEST(ShellSessionsLog, ARowIsAppendedWholeOrNotAtAll) {
    TempFolder dir;
    AppState state;
    setDefaultFactors(state);
    setCount(state, kStrokeUp, 10);
    setCount(state, kStrokeDown, 5);
    const std::string before = std::string(2000, 'x') + "\n";
    writeFile(dir / "log.html", before);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = before.size() + 100; // the row is longer than 100 bytes
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool ok = appendSessionLog(state, dir / "log.html", dir / "none.html", "12/07/26");
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(ok);
    EXPECT_EQ(readFile(dir / "log.html"), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1)
        << "no temporary file is left behind";
}

// Wherever the row goes, the log it lands in holds every earlier row: the user's log
// starts from the one beside the program, and back beside the program the rows written
// to the user's log meanwhile come along. The File menu opens that log.
TEST(ShellSessionsLog, OneLogHoldsEveryRowWhereverItIsWritten) {
    TempFolder dir;
    AppState state;
    setDefaultFactors(state);
    setCount(state, kStrokeUp, 10);
    setCount(state, kStrokeDown, 5);
    const std::string beside = dir / "bin/sessionslog.html";
    const std::string user = dir / "data/zorvexa/sessionslog.html";
    std::filesystem::create_directories(dir / "bin");
    std::filesystem::create_directories(dir / "data/zorvexa");
    writeFile(beside, std::string("<t>\n") + kRowOfTenUpAndFiveDown);
    ASSERT_TRUE(appendSessionLog(state, user, dir / "none.html", "12/07/26", beside));
    EXPECT_EQ(readFile(user),
              std::string("<t>\n") + kRowOfTenUpAndFiveDown + kRowOfTenUpAndFiveDown);

    // The program's folder takes rows again: the user's log, now the newest, continues.
    const utimbuf old{1000000000, 1000000000};
    ASSERT_EQ(utime(beside.c_str(), &old), 0);
    AppPaths paths;
    paths.moduleDir = dir / "bin";
    paths.configDir = dir / "config/zorvexa";
    paths.dataDir = dir / "data/zorvexa";
    ASSERT_TRUE(appendSessionLog(state, paths));
    const std::string all = readFile(beside);
    EXPECT_EQ(all.rfind(std::string("<t>\n") + kRowOfTenUpAndFiveDown + kRowOfTenUpAndFiveDown, 0),
              0u);
    EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), 4);
    EXPECT_EQ(sessionsLogViewPath(paths), beside);
}

TEST(ShellSessionsLog, TemplateIsACompletePageWhoseTableTakesTheRows) {
    const std::string page =
        readFile(std::string(ZORVEXA_SOURCE_DIR) + "/data/exercise_log_table_template.html");
    ASSERT_FALSE(page.empty());
    EXPECT_EQ(readFile(std::string(ZORVEXA_BIN_DIR) + "/exercise_log_table_template.html"), page)
        << "the build puts the template beside the programs";

    const std::string style =
        page.substr(page.find("<style>"), page.find("</style>") - page.find("<style>"));
    for (const char* cls : {".DATEMEASURE", ".TOTMEASURE", ".VALMEASURE"})
        EXPECT_NE(style.find(cls), std::string::npos) << cls;

    // Twelve columns: date and total span both header rows, five pairs below the groups.
    const auto count = [&page](const std::string& what) {
        std::size_t n = 0;
        for (std::size_t at = page.find(what); at != std::string::npos;
             at = page.find(what, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count("<th rowspan=\"2\">"), 2u);
    EXPECT_EQ(count("<th colspan=\"2\">"), 5u);
    EXPECT_EQ(count("<th>"), 10u);

    // Rows are appended after the last line, so the page must end inside the open table
    // body, on a line of its own.
    EXPECT_EQ(count("<table"), 1u);
    EXPECT_EQ(count("</table>"), 0u);
    EXPECT_EQ(page.substr(page.size() - std::string("<tbody id=\"sessions\">\n").size()),
              "<tbody id=\"sessions\">\n");

    // Self-contained: the chart is drawn by inline script, nothing is fetched.
    EXPECT_EQ(count("<script>"), 1u);
    EXPECT_EQ(count("id=\"chart\""), 1u);
    for (const char* external : {"src=", "href=", "@import", "url(", "<link"})
        EXPECT_EQ(count(external), 0u) << external;
}
