#include "common/StageTiming.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace zorvexa::timing {
namespace {

// "stage NAME CALLS NS" -> CALLS for one stage of a record text.
long long callsOf(const std::string& record, const std::string& stage) {
    std::istringstream in(record);
    std::string word, name;
    long long calls = -1, ns = 0;
    while (in >> word) {
        if (word == "stage" && in >> name >> calls >> ns && name == stage)
            return calls;
    }
    return -1;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The record is process-wide, so the off, on and off-again phases run in one test.
TEST(StageTiming, RecordsOnlyWhileEnabledAndWritesTheFile) {
    ASSERT_FALSE(enabled());
    { Scope off(Stage::Extract); }
    frameDone();
    EXPECT_EQ(callsOf(recordText(), "extract"), 0);
    EXPECT_NE(recordText().find("frames 0\n"), std::string::npos);

    const std::string path = ::testing::TempDir() + "zv-stage-timing.txt";
    std::remove(path.c_str());
    enable(path);
    ASSERT_TRUE(enabled());
    for (int k = 0; k < 3; ++k) {
        Scope on(Stage::Extract);
        volatile double sink = 0;
        for (int i = 0; i < 10000; ++i)
            sink = sink + i;
    }
    { Scope on(Stage::Painting); }
    frameDone();
    disable();
    EXPECT_FALSE(enabled());
    { Scope offAgain(Stage::Extract); }

    const std::string written = readFile(path);
    EXPECT_NE(written.find("frames 1\n"), std::string::npos) << written;
    EXPECT_EQ(callsOf(written, "extract"), 3) << written;
    EXPECT_EQ(callsOf(written, "painting"), 1) << written;
    EXPECT_EQ(callsOf(written, "indicator"), 0) << written;
    // Every stage has its line, under its own name.
    for (int k = 0; k < static_cast<int>(Stage::Count); ++k)
        EXPECT_GE(callsOf(written, stageName(static_cast<Stage>(k))), 0) << k;
    EXPECT_EQ(callsOf(recordText(), "extract"), 3);
    std::remove(path.c_str());
}

TEST(StageTiming, ThreadCpuClockAdvancesWithWork) {
    const int64_t start = threadCpuNs();
    volatile double sink = 0;
    for (int i = 0; i < 2000000; ++i)
        sink = sink + i;
    EXPECT_GT(threadCpuNs(), start);
}

} // namespace
} // namespace zorvexa::timing
