#include "platform/DebugSink.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zorvexa {
namespace {

TEST(DebugSink, WritesToStandardErrorOnlyWhenAskedTo) {
    setDebugCapture({});
    unsetenv("ZORVEXA_DEBUG");
    testing::internal::CaptureStderr();
    debugOutput("quiet\n");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    setenv("ZORVEXA_DEBUG", "1", 1);
    testing::internal::CaptureStderr();
    debugOutput("postMessageThread\n");
    debugOutput("test1");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "postMessageThread\ntest1");
    unsetenv("ZORVEXA_DEBUG");
}

TEST(DebugSink, CaptureReceivesEveryTextFromEveryThread) {
    std::mutex mutex;
    std::vector<std::string> seen;
    setDebugCapture([&](const std::string& text) {
        std::lock_guard<std::mutex> lock(mutex);
        seen.push_back(text);
    });
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([] {
            for (int i = 0; i < 250; ++i) {
                debugOutput("line\n");
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    setDebugCapture({});
    EXPECT_EQ(seen.size(), 1000u);
    debugOutput("after\n");
    EXPECT_EQ(seen.size(), 1000u);
}

} // namespace
} // namespace zorvexa
