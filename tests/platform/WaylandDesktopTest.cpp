// The Wayland backend against headless sway (started by wayland-test.sh) with two probe
// clients, whose logs are named by ZV_PROBE_LOG_A and ZV_PROBE_LOG_B and whose app_ids
// are zorvexa-probe-a and zorvexa-probe-b.
#include "platform/wayland/WaylandDesktop.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>

#include "commandtool/controller/TaskWindows.h"
#include "common/Keystroke.h"
#include "platform/KeyboardSender.h"

namespace zorvexa {
namespace {

using namespace std::chrono_literals;

constexpr std::uint16_t kVkUp = 0x26;
constexpr std::uint16_t kVkEnd = 0x23;
constexpr std::uint16_t kVkControl = 0x11;
constexpr std::uint16_t kVkShift = 0x10;
constexpr std::uint16_t kVkF13 = 0x7C;
constexpr std::uint16_t kVkA = 0x41;
constexpr std::uint16_t kVkSemicolon = 0xBA;

std::string logPath(const char* variable) {
    const char* path = std::getenv(variable);
    return path != nullptr ? path : "";
}

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 3s) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(20ms);
    }
    return condition();
}

void focus(const std::string& appId) {
    const std::string command = "swaymsg '[app_id=\"" + appId + "\"] focus' >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

class WaylandDesktopTest : public ::testing::Test {
  protected:
    void SetUp() override {
        logA = logPath("ZV_PROBE_LOG_A");
        logB = logPath("ZV_PROBE_LOG_B");
        ASSERT_FALSE(logA.empty() || logB.empty()) << "run through wayland-test.sh";
        std::string whyNot;
        desktop = WaylandDesktop::open(nullptr, whyNot);
        ASSERT_NE(desktop, nullptr) << whyNot;
        EXPECT_TRUE(desktop->limitations().empty());
    }

    // The log text written after `mark` (a length taken before acting).
    std::string since(const std::string& path, std::size_t mark) {
        const std::string text = readFile(path);
        return text.size() > mark ? text.substr(mark) : std::string();
    }

    std::string logA;
    std::string logB;
    std::unique_ptr<WaylandDesktop> desktop;
};

TEST_F(WaylandDesktopTest, ForegroundClassFollowsTheFocus) {
    focus("zorvexa-probe-b");
    EXPECT_TRUE(waitFor([&] { return desktop->foregroundClass() == "zorvexa-probe-b"; }))
        << desktop->foregroundClass();
    focus("zorvexa-probe-a");
    EXPECT_TRUE(waitFor([&] { return desktop->foregroundClass() == "zorvexa-probe-a"; }))
        << desktop->foregroundClass();
    EXPECT_EQ(desktop->windowClass(0), "");
    EXPECT_GT(desktop->screenWidth(), 0);
    EXPECT_GT(desktop->screenHeight(), 0);
}

// Sent straight after the keymap upload of a fresh backend: the first key must arrive
// too. Chords arrive whole, keys missing from common layouts (F13) and letters arrive as
// named whatever layout the session has (the script runs this again with ru first).
TEST_F(WaylandDesktopTest, KeysAndChordsArriveInOrder) {
    focus("zorvexa-probe-a");
    ASSERT_TRUE(waitFor([&] { return desktop->foregroundClass() == "zorvexa-probe-a"; }));
    const std::size_t mark = readFile(logA).size();
    EXPECT_TRUE(sendKeyboardEvent(*desktop, kVkUp, 0, 0));
    EXPECT_TRUE(sendKeyboardEvent(*desktop, kVkEnd, kVkControl, kVkShift));
    EXPECT_TRUE(sendKeyboardEvent(*desktop, kVkF13, 0, 0));
    EXPECT_TRUE(sendKeyboardEvent(*desktop, kVkA, 0, 0));
    desktop->postKeyToForeground(kVkSemicolon);
    const std::string expected = "key press Up\n"
                                 "key release Up\n"
                                 "key press Control_L\n"
                                 "key press Shift_L Control\n"
                                 "key press End Control+Shift\n"
                                 "key release End Control+Shift\n"
                                 "key release Shift_L Control+Shift\n"
                                 "key release Control_L Control\n"
                                 "key press F13\n"
                                 "key release F13\n"
                                 "key press a\n"
                                 "key release a\n"
                                 "key press semicolon\n"
                                 "key release semicolon\n";
    auto keys = [&] {
        std::string lines;
        std::istringstream in(since(logA, mark));
        for (std::string line; std::getline(in, line);) {
            if (line.rfind("key ", 0) == 0) {
                lines += line + "\n";
            }
        }
        return lines;
    };
    EXPECT_TRUE(waitFor([&] { return keys() == expected; })) << keys();
    EXPECT_EQ(since(logB, readFile(logB).size()), "");
}

TEST_F(WaylandDesktopTest, PointerMovesAndClicksReachTheWindowUnderIt) {
    // sway tiles the two probes side by side: a is the left half of the screen.
    const std::size_t mark = readFile(logA).size();
    desktop->moveMouseAbsolute(16384, 32768);
    desktop->moveMouseRelative(10, 5);
    desktop->leftButton(true);
    desktop->leftButton(false);
    auto arrived = [&] {
        const std::string text = since(logA, mark);
        return text.find("pointer button 272 press\n") != std::string::npos &&
               text.find("pointer button 272 release\n") != std::string::npos;
    };
    ASSERT_TRUE(waitFor(arrived)) << since(logA, mark);
    // The relative move lands 10, 5 from where the absolute one put the pointer.
    std::istringstream in(since(logA, mark));
    std::vector<std::pair<int, int>> positions;
    for (std::string line; std::getline(in, line);) {
        int x = 0;
        int y = 0;
        if (std::sscanf(line.c_str(), "pointer motion %d %d", &x, &y) == 2 ||
            std::sscanf(line.c_str(), "pointer enter %d %d", &x, &y) == 2) {
            positions.emplace_back(x, y);
        }
    }
    ASSERT_GE(positions.size(), 2u) << since(logA, mark);
    const auto last = positions.back();
    const auto before = positions[positions.size() - 2];
    EXPECT_EQ(last.first - before.first, 10);
    EXPECT_EQ(last.second - before.second, 5);
}

TEST_F(WaylandDesktopTest, TaskListListsTheWindowsAndActivatesTheChosenOne) {
    focus("zorvexa-probe-a");
    ASSERT_TRUE(waitFor([&] { return desktop->foregroundClass() == "zorvexa-probe-a"; }));
    const std::vector<TopLevelWindow> windows = collectTaskWindows(desktop->topLevelWindows(), 0);
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_EQ(windows[0].className, "zorvexa-probe-a"); // the active one first
    EXPECT_EQ(windows[0].title, "Probe A");
    EXPECT_EQ(windows[1].className, "zorvexa-probe-b");
    EXPECT_EQ(windows[1].title, "Probe B");
    EXPECT_FALSE(windows[1].minimized);

    EXPECT_TRUE(desktop->activateWindow(windows[1].id));
    EXPECT_EQ(desktop->foregroundClass(), "zorvexa-probe-b");
    // Typing right after the activation reaches the activated window.
    const std::size_t mark = readFile(logB).size();
    EXPECT_TRUE(sendKeyboardEvent(*desktop, kVkUp, 0, 0));
    EXPECT_TRUE(
        waitFor([&] { return since(logB, mark).find("key press Up\n") != std::string::npos; }));
    EXPECT_FALSE(desktop->activateWindow(0));
    EXPECT_FALSE(desktop->activateWindow(999999));
}

} // namespace
} // namespace zorvexa
