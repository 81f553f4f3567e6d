// The Wayland backend against headless sway (started by wayland-test.sh) with two probe
// clients, whose logs are named by ZV_PROBE_LOG_A and ZV_PROBE_LOG_B and whose app_ids
// are zorvexa-probe-a and zorvexa-probe-b.
#include "platform/wayland/WaylandDesktop.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <vector>

#include <linux/input-event-codes.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include "commandtool/controller/TaskWindows.h"
#include "common/Keystroke.h"
#include "platform/KeyboardSender.h"
#include "virtual-keyboard-unstable-v1-client-protocol.h"

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

// Another keyboard on the same seat, with a Russian layout: the user's own keyboard as it
// would be after they typed on it. A client of its own, as the user's keyboard is no
// part of our connection.
class RussianKeyboard {
  public:
    RussianKeyboard() {
        display_ = wl_display_connect(nullptr);
        if (display_ == nullptr) {
            return;
        }
        registry_ = wl_display_get_registry(display_);
        wl_registry_add_listener(registry_, &kListener, this);
        wl_display_roundtrip(display_);
        if (seat_ == nullptr || manager_ == nullptr) {
            return;
        }
        xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
        const xkb_rule_names names = {"evdev", "pc105", "ru", "", ""};
        xkb_keymap* keymap =
            xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
        char* text = keymap != nullptr ? xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1)
                                       : nullptr;
        xkb_keymap_unref(keymap);
        xkb_context_unref(context);
        if (text == nullptr) {
            return;
        }
        const std::size_t size = std::strlen(text) + 1;
        const int fd = memfd_create("ru-keymap", MFD_CLOEXEC);
        const bool written = fd >= 0 && write(fd, text, size) == static_cast<ssize_t>(size);
        std::free(text);
        if (!written) {
            return;
        }
        keyboard_ = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(manager_, seat_);
        zwp_virtual_keyboard_v1_keymap(keyboard_, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd,
                                       static_cast<std::uint32_t>(size));
        close(fd);
        zwp_virtual_keyboard_v1_modifiers(keyboard_, 0, 0, 0, 0);
        wl_display_roundtrip(display_);
        std::this_thread::sleep_for(100ms);
        ready_ = true;
    }
    ~RussianKeyboard() {
        if (keyboard_ != nullptr) {
            zwp_virtual_keyboard_v1_destroy(keyboard_);
        }
        if (display_ != nullptr) {
            wl_display_roundtrip(display_);
            wl_display_disconnect(display_);
        }
    }
    bool ready() const { return ready_; }
    void tap(std::uint32_t code) {
        for (const std::uint32_t state :
             {WL_KEYBOARD_KEY_STATE_PRESSED, WL_KEYBOARD_KEY_STATE_RELEASED}) {
            zwp_virtual_keyboard_v1_key(keyboard_, ++time_, code, state);
        }
        wl_display_roundtrip(display_);
    }

  private:
    static void onGlobal(void* data, wl_registry* registry, std::uint32_t name,
                         const char* interface, std::uint32_t) {
        auto* self = static_cast<RussianKeyboard*>(data);
        if (std::strcmp(interface, wl_seat_interface.name) == 0 && self->seat_ == nullptr) {
            self->seat_ =
                static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
        } else if (std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0) {
            self->manager_ = static_cast<zwp_virtual_keyboard_manager_v1*>(
                wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
        }
    }
    static void onGlobalRemove(void*, wl_registry*, std::uint32_t) {}
    static constexpr wl_registry_listener kListener = {onGlobal, onGlobalRemove};

    wl_display* display_ = nullptr;
    wl_registry* registry_ = nullptr;
    wl_seat* seat_ = nullptr;
    zwp_virtual_keyboard_manager_v1* manager_ = nullptr;
    zwp_virtual_keyboard_v1* keyboard_ = nullptr;
    std::uint32_t time_ = 1;
    bool ready_ = false;
};

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
    const std::vector<TopLevelWindow> windows = collectTaskWindows(desktop->topLevelWindows(), {});
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

// The user types on a keyboard with a Russian layout, then a stroke sends its keys: they
// arrive as named, and the user's keyboard types Russian again afterwards.
TEST_F(WaylandDesktopTest, AnotherKeyboardsLayoutDoesNotChangeWhatArrives) {
    focus("zorvexa-probe-a");
    ASSERT_TRUE(waitFor([&] { return desktop->foregroundClass() == "zorvexa-probe-a"; }));
    RussianKeyboard russian;
    ASSERT_TRUE(russian.ready());
    const std::size_t mark = readFile(logA).size();
    russian.tap(KEY_A);
    EXPECT_TRUE(sendKeyboardEvent(*desktop, kVkA, 0, 0));
    EXPECT_TRUE(sendKeyboardEvent(*desktop, kVkSemicolon, 0, 0));
    russian.tap(KEY_A);
    EXPECT_TRUE(sendKeyboardEvent(*desktop, kVkEnd, kVkControl, 0));
    auto presses = [&] {
        std::string lines;
        std::istringstream in(since(logA, mark));
        for (std::string line; std::getline(in, line);) {
            if (line.rfind("key press ", 0) == 0) {
                lines += line.substr(10) + "\n";
            }
        }
        return lines;
    };
    const std::string expected = "Cyrillic_ef\na\nsemicolon\nCyrillic_ef\nControl_L\nEnd Control\n";
    EXPECT_TRUE(waitFor([&] { return presses() == expected; })) << presses();
}

// The frame loop, executor threads and a user interface thread call in at once.
TEST_F(WaylandDesktopTest, CallsFromSeveralThreadsAllComplete) {
    focus("zorvexa-probe-a");
    ASSERT_TRUE(waitFor([&] { return desktop->foregroundClass() == "zorvexa-probe-a"; }));
    const std::size_t mark = readFile(logA).size();
    constexpr int kRounds = 40;
    std::atomic<int> sent{0};
    std::vector<std::thread> threads;
    threads.emplace_back([&] {
        for (int i = 0; i < kRounds; ++i) {
            sent += sendKeyboardEvent(*desktop, kVkF13, 0, 0) ? 1 : 0;
        }
    });
    threads.emplace_back([&] {
        for (int i = 0; i < kRounds; ++i) {
            EXPECT_EQ(desktop->foregroundClass(), "zorvexa-probe-a");
        }
    });
    threads.emplace_back([&] {
        for (int i = 0; i < kRounds; ++i) {
            EXPECT_EQ(desktop->topLevelWindows().size(), 2u);
            desktop->moveMouseRelative(1, 0);
        }
    });
    for (std::thread& t : threads) {
        t.join();
    }
    EXPECT_EQ(sent.load(), kRounds);
    auto count = [&] {
        const std::string text = since(logA, mark);
        int n = 0;
        for (std::size_t at = text.find("key press F13"); at != std::string::npos;
             at = text.find("key press F13", at + 1)) {
            ++n;
        }
        return n;
    };
    EXPECT_TRUE(waitFor([&] { return count() == kRounds; })) << count();
}

// A terminal (foot, started by the script when installed) that types what it receives
// into a file: the first key of a freshly opened backend, sent right after the keymap
// upload, must arrive too.
TEST(WaylandFirstKey, FirstKeyAfterTheKeymapUploadArrives) {
    const std::string typed = logPath("ZV_FOOT_TYPED");
    if (typed.empty()) {
        GTEST_SKIP() << "foot is not installed";
    }
    focus("zorvexa-foot");
    {
        // The terminal last saw another keymap, as after the user typed on their keyboard.
        RussianKeyboard russian;
        ASSERT_TRUE(russian.ready());
        const std::size_t before = readFile(typed).size();
        russian.tap(KEY_A);
        ASSERT_TRUE(waitFor([&] { return readFile(typed).size() > before; }));
    }
    std::string whyNot;
    std::unique_ptr<WaylandDesktop> desktop = WaylandDesktop::open(nullptr, whyNot);
    ASSERT_NE(desktop, nullptr) << whyNot;
    const std::size_t mark = readFile(typed).size();
    for (const std::uint16_t vk : {std::uint16_t{0x51}, std::uint16_t{0x57}, std::uint16_t{0x45}}) {
        EXPECT_TRUE(sendKeyboardEvent(*desktop, vk, 0, 0));
    }
    EXPECT_TRUE(waitFor([&] { return readFile(typed).substr(mark) == "qwe"; }))
        << readFile(typed).substr(mark);
}

// Osmerak (its Qt window through XWayland, started by the script in front of probe b,
// with probe a behind it) switches to probe a through its task list: N, Down, Enter.
// The dialog itself is not in the list, and the chord for it arrives through XWayland.
TEST(WaylandOsmerak, TaskListSwitchesBetweenSwayWindows) {
    if (std::getenv("ZV_OSMERAK") == nullptr) {
        GTEST_SKIP() << "run by the script when Xwayland is installed";
    }
    std::string whyNot;
    std::unique_ptr<WaylandDesktop> desktop = WaylandDesktop::open(nullptr, whyNot);
    ASSERT_NE(desktop, nullptr) << whyNot;
    ASSERT_TRUE(waitFor([&] { return desktop->foregroundClass() == "Osmerak"; }, 15s))
        << desktop->foregroundClass();
    std::this_thread::sleep_for(2s); // the dialog has taken the focus in Qt as well (slower
                                     // under the sanitizers)
    for (const std::uint16_t vk : {std::uint16_t{0x4E}, std::uint16_t{0x28}, std::uint16_t{0x0D}}) {
        EXPECT_TRUE(sendKeyboardEvent(*desktop, vk, 0, 0));
        std::this_thread::sleep_for(500ms);
    }
    EXPECT_TRUE(waitFor([&] { return desktop->foregroundClass() == "zorvexa-probe-a"; }, 10s))
        << desktop->foregroundClass();
}

// Run last by the script: the compositor goes away under an open backend, which then
// reports failures instead of crashing or hanging.
TEST(WaylandDesktopGone, CompositorThatQuitsLeavesFailuresNotACrash) {
    std::string whyNot;
    std::unique_ptr<WaylandDesktop> desktop = WaylandDesktop::open(nullptr, whyNot);
    ASSERT_NE(desktop, nullptr) << whyNot;
    ASSERT_EQ(std::system("swaymsg exit >/dev/null 2>&1; sleep 1"), 0);
    const KeyRecordList list = buildKeystroke(kVkUp, 0, 0);
    EXPECT_EQ(desktop->sendKeyRecords(list.records.data(), list.count), 0);
    EXPECT_EQ(desktop->foregroundWindow(), 0u);
    EXPECT_FALSE(desktop->activateWindow(1));
    desktop->moveMouseRelative(1, 1);
    desktop->leftButton(true);
    desktop->leftButton(false);
}

} // namespace
} // namespace zorvexa
