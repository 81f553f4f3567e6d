#include "platform/KeyboardSender.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/fake/FakeDesktop.h"

namespace zorvexa {
namespace {

using Kind = FakeDesktopCall::Kind;

struct Outcome {
    bool delivered;
    std::size_t calls;
    std::vector<std::chrono::milliseconds> sleeps;
};

Outcome sendWithFailures(int failures) {
    FakeDesktop desktop;
    desktop.failKeySends(failures);
    std::vector<std::chrono::milliseconds> sleeps;
    const bool delivered = sendKeyboardEvent(
        desktop, 13, 0, 0, [&](std::chrono::milliseconds d) { sleeps.push_back(d); });
    return {delivered, desktop.callsOf(Kind::SendKeyRecords).size(), sleeps};
}

TEST(SendKeyboardEvent, RetriesAfterEachFailureUpToFourCalls) {
    using std::chrono::milliseconds;
    const Outcome none = sendWithFailures(0);
    EXPECT_TRUE(none.delivered);
    EXPECT_EQ(none.calls, 1u);
    EXPECT_TRUE(none.sleeps.empty());

    const Outcome one = sendWithFailures(1);
    EXPECT_TRUE(one.delivered);
    EXPECT_EQ(one.calls, 2u);
    EXPECT_EQ(one.sleeps, std::vector<milliseconds>{milliseconds(100)});

    const Outcome three = sendWithFailures(3);
    EXPECT_TRUE(three.delivered);
    EXPECT_EQ(three.calls, 4u);
    EXPECT_EQ(three.sleeps.size(), 3u);

    // Four failures: given up after the fourth call, which is followed by its sleep too.
    const Outcome four = sendWithFailures(4);
    EXPECT_FALSE(four.delivered);
    EXPECT_EQ(four.calls, 4u);
    EXPECT_EQ(four.sleeps, std::vector<milliseconds>(4, milliseconds(100)));
}

TEST(SendKeyboardEvent, EveryAttemptCarriesTheWholeChord) {
    FakeDesktop desktop;
    desktop.failKeySends(1);
    ASSERT_TRUE(sendKeyboardEvent(desktop, 46, 17, 18, [](std::chrono::milliseconds) {}));
    const auto calls = desktop.callsOf(Kind::SendKeyRecords);
    ASSERT_EQ(calls.size(), 2u);
    for (const FakeDesktopCall& call : calls) {
        ASSERT_EQ(call.records.size(), 6u);
        EXPECT_EQ(call.records[0].vk, 17);
        EXPECT_EQ(call.records[2].vk, 46);
        EXPECT_EQ(call.records[5].flags, kKeyEventKeyUp);
    }
    EXPECT_EQ(calls[0].result, 0);
    EXPECT_EQ(calls[1].result, 6);
}

TEST(SendKeyboardEvent, NoKeyMakesNoCall) {
    FakeDesktop desktop;
    int sleeps = 0;
    EXPECT_FALSE(
        sendKeyboardEvent(desktop, 0, 17, 18, [&](std::chrono::milliseconds) { ++sleeps; }));
    EXPECT_TRUE(desktop.calls().empty());
    EXPECT_EQ(sleeps, 0);
}

TEST(FakeDesktop, ActivationBringsAListedWindowToTheFrontRestored) {
    FakeDesktop desktop;
    TopLevelWindow a;
    a.id = 1;
    a.className = "A";
    TopLevelWindow b;
    b.id = 2;
    b.className = "B";
    b.minimized = true;
    desktop.setWindows({a, b});
    desktop.setForeground(1, "");
    EXPECT_EQ(desktop.foregroundClass(), "A");

    EXPECT_TRUE(desktop.activateWindow(2));
    EXPECT_EQ(desktop.foregroundClass(), "B");
    const auto list = desktop.topLevelWindows();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].id, 2u);
    EXPECT_FALSE(list[0].minimized);
    EXPECT_FALSE(desktop.activateWindow(99));
    EXPECT_EQ(desktop.callsOf(Kind::ActivateWindow).size(), 2u);
}

} // namespace
} // namespace zorvexa
