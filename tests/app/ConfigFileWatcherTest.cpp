// The configuration watcher on a real folder: the ways editors save a file.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include <unistd.h>

#include <gtest/gtest.h>

#include <QCoreApplication>

#include "main/shell/ui/ConfigFileWatcher.h"
#include "tests/app/TestApplication.h"

namespace zorvexa {
namespace {

void write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::trunc) << text;
}

// Runs the event loop until `count` reaches `want` or two seconds have passed, then a
// little longer so that a report too many shows.
int waitForReports(const int& count, int want) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (count < want && std::chrono::steady_clock::now() < until)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    const auto extra = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
    while (std::chrono::steady_clock::now() < extra)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    return count;
}

TEST(ConfigFileWatcher, ReportsEachSaveOnceWhetherRenamedOverOrRewrittenInPlace) {
    testApplication();
    char folder[] = "/tmp/zv-watch-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string path = std::string(folder) + "/config.xml";
    write(path, "<zorvexa key=\"VK_0\"/>");
    int reports = 0;
    ConfigFileWatcher watcher(
        path, [&] { ++reports; }, 50);
    EXPECT_EQ(waitForReports(reports, 1), 0) << "nothing changed yet";

    // Saved by renaming a new file over the old one, then rewritten in place with the
    // same size, several times over: the watch must follow the new file every time.
    int expected = 0;
    for (int round = 1; round <= 3; ++round) {
        const std::string text = "<zorvexa key=\"VK_" + std::to_string(round) + "\"/>";
        write(path + ".new", text);
        ASSERT_EQ(std::rename((path + ".new").c_str(), path.c_str()), 0);
        EXPECT_EQ(waitForReports(reports, ++expected), expected) << "rename, round " << round;
        write(path, "<zorvexa key=\"VK_" + std::to_string(round + 5) + "\"/>");
        EXPECT_EQ(waitForReports(reports, ++expected), expected) << "in place, round " << round;
    }
    std::remove(path.c_str());
    rmdir(folder);
}

} // namespace
} // namespace zorvexa
