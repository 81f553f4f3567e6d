// Linked into the test programs that dispatch actions: before the program ends, every
// executor thread is stopped and joined, as the real program does at exit, so no thread is
// left running (or unjoined) under the test runner's own teardown.
#include <chrono>

#include <gtest/gtest.h>

#include "main/control/ExecutorThreads.h"

namespace {

class JoinExecutorsAtEnd : public ::testing::Environment {
  public:
    void TearDown() override { zorvexa::stopExecutors(std::chrono::seconds(5)); }
};

const auto* const kJoinExecutorsAtEnd = ::testing::AddGlobalTestEnvironment(new JoinExecutorsAtEnd);

} // namespace
