// Keystrokes and exits against a real X server with the window manager, across keyboard
// layouts and monitor set-ups (run under Xvfb on a display of its own: the tests change
// the server's layout and monitors).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

#include "platform/KeyboardSender.h"
#include "platform/x11/X11Desktop.h"
#include "tests/platform/X11Probe.h"

namespace zorvexa {
namespace {

constexpr std::uint16_t VK_CONTROL = 0x11;
constexpr std::uint16_t VK_SHIFT = 0x10;
constexpr std::uint16_t VK_F13 = 0x7C;
constexpr std::uint16_t VK_F14 = 0x7D;
constexpr std::uint16_t VK_NUMPAD0 = 0x60;
constexpr std::uint16_t VK_NUMPAD7 = 0x67;
constexpr std::uint16_t VK_DECIMAL = 0x6E;
constexpr std::uint16_t VK_ADD = 0x6B;
constexpr std::uint16_t VK_HOME = 0x24;

bool run(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The server's keymap as xkbcomp writes it.
std::string dumpKeymap() {
    const std::string path = "/tmp/zorvexa-keymap-" + std::to_string(getpid()) + ".xkb";
    if (!run("xkbcomp -xkb \"$DISPLAY\" " + path + " 2>/dev/null")) {
        return {};
    }
    std::string text = readFile(path);
    std::remove(path.c_str());
    return text;
}

// "press NAME" / "release NAME" from probe lines "key press NAME STATE".
std::vector<std::string> names(const std::vector<std::string>& lines) {
    std::vector<std::string> result;
    for (const std::string& line : lines) {
        std::istringstream words(line);
        std::string key, kind, name;
        words >> key >> kind >> name;
        result.push_back(kind + " " + name);
    }
    return result;
}

class X11Layouts : public ::testing::Test {
  protected:
    void SetUp() override {
        display_ = XOpenDisplay(nullptr);
        ASSERT_NE(display_, nullptr) << "no X display";
        desktop_ = X11Desktop::open();
        ASSERT_NE(desktop_, nullptr);
    }

    void TearDown() override {
        probe_.reset();
        desktop_.reset();
        if (display_ != nullptr) {
            setLayout("us");
            XCloseDisplay(display_);
        }
    }

    // A new layout, its first group active (a group locked earlier by a test would
    // outlive the change).
    bool setLayout(const std::string& layouts) {
        if (!run("setxkbmap -layout " + layouts)) {
            return false;
        }
        XkbLockGroup(display_, XkbUseCoreKbd, 0);
        XSync(display_, False);
        return true;
    }

    // A fresh probe (it reads the keymap as it is now), in front with the focus.
    void startProbe() {
        probe_.reset();
        probe_ =
            std::make_unique<Probe>(std::vector<std::string>{"--class", "ZvLayout", "--produced"});
        const WindowId id = idFrom(probe_->nextStartingWith("ready", 30s));
        ASSERT_NE(id, 0u) << "probe output:\n" << probe_->all();
        probeId_ = id;
        ASSERT_TRUE(desktop_->activateWindow(id));
        std::this_thread::sleep_for(50ms);
        probe_->skipAll();
    }

    XkbStateRec state() {
        XkbStateRec s{};
        XkbGetState(display_, XkbUseCoreKbd, &s);
        return s;
    }

    void lockGroup(unsigned group) {
        XkbLockGroup(display_, XkbUseCoreKbd, group);
        XSync(display_, False);
        ASSERT_EQ(state().group, group);
    }

    // Sends the chord and returns what the probe says it produced.
    std::vector<std::string> type(std::uint16_t key, std::uint16_t modifier = 0) {
        EXPECT_TRUE(sendKeyboardEvent(*desktop_, key, modifier, 0));
        return names(probe_->keys(modifier != 0 ? 4 : 2));
    }

    // Letters and chords that must arrive as named, and the user's group and locked
    // modifiers as they were.
    void expectNamedKeys(const std::vector<std::pair<std::uint16_t, std::string>>& keys) {
        const XkbStateRec before = state();
        for (const auto& [vk, name] : keys) {
            EXPECT_EQ(type(vk), (std::vector<std::string>{"press " + name, "release " + name}))
                << "virtual key " << vk;
        }
        EXPECT_EQ(type('W', VK_CONTROL),
                  (std::vector<std::string>{"press Control_L", "press w", "release w",
                                            "release Control_L"}));
        EXPECT_EQ(type('C', VK_CONTROL),
                  (std::vector<std::string>{"press Control_L", "press c", "release c",
                                            "release Control_L"}));
        const XkbStateRec after = state();
        EXPECT_EQ(after.locked_group, before.locked_group);
        EXPECT_EQ(after.group, before.group);
        EXPECT_EQ(after.locked_mods, before.locked_mods);
    }

    Display* display_ = nullptr;
    std::unique_ptr<X11Desktop> desktop_;
    std::unique_ptr<Probe> probe_;
    WindowId probeId_ = 0;
};

TEST_F(X11Layouts, NamedKeysArriveWithANonLatinGroupActive) {
    ASSERT_TRUE(setLayout("ru,us"));
    ASSERT_NO_FATAL_FAILURE(startProbe());
    ASSERT_EQ(state().group, 0) << "Russian is the active group";
    expectNamedKeys({{'N', "n"}, {'A', "a"}, {'Z', "z"}, {'1', "1"}, {0xBC, "comma"}});

    ASSERT_TRUE(setLayout("us,ru"));
    ASSERT_NO_FATAL_FAILURE(startProbe());
    lockGroup(1); // Russian active again, now as the second group
    expectNamedKeys({{'N', "n"}, {'Q', "q"}, {0xBE, "period"}, {0xBF, "slash"}});
}

TEST_F(X11Layouts, NamedKeysArriveOnGermanAndFrenchLayouts) {
    ASSERT_TRUE(setLayout("de"));
    ASSERT_NO_FATAL_FAILURE(startProbe());
    // y and z swap places; slash is Shift+7; the bracket needs AltGr (level three).
    expectNamedKeys(
        {{'Y', "y"}, {'Z', "z"}, {0xBD, "minus"}, {0xBF, "slash"}, {0xDB, "bracketleft"}});

    ASSERT_TRUE(setLayout("fr"));
    ASSERT_NO_FATAL_FAILURE(startProbe());
    // AZERTY: a/q and w/z swap; digits are on the shifted level.
    expectNamedKeys({{'A', "a"}, {'Q', "q"}, {'W', "w"}, {'1', "1"}, {'7', "7"}, {0xBE, "period"}});
}

TEST_F(X11Layouts, KeymapIsUnchangedAfterSpareAndKeypadKeys) {
    ASSERT_TRUE(setLayout("us,ru"));
    ASSERT_NO_FATAL_FAILURE(startProbe());
    const std::string before = dumpKeymap();
    ASSERT_FALSE(before.empty());
    EXPECT_EQ(type(VK_F13), (std::vector<std::string>{"press F13", "release F13"}));
    EXPECT_EQ(type(VK_F14, VK_CONTROL),
              (std::vector<std::string>{"press Control_L", "press F14", "release F14",
                                        "release Control_L"}));
    EXPECT_EQ(type(VK_NUMPAD0), (std::vector<std::string>{"press KP_0", "release KP_0"}));
    EXPECT_EQ(type(VK_NUMPAD7), (std::vector<std::string>{"press KP_7", "release KP_7"}));
    EXPECT_EQ(type(VK_DECIMAL),
              (std::vector<std::string>{"press KP_Decimal", "release KP_Decimal"}));
    EXPECT_EQ(type(VK_ADD), (std::vector<std::string>{"press KP_Add", "release KP_Add"}));
    EXPECT_EQ(type(VK_HOME, VK_SHIFT),
              (std::vector<std::string>{"press Shift_L", "press Home", "release Home",
                                        "release Shift_L"}));
    // Spare keycodes go back by themselves once their chord is long delivered.
    EXPECT_TRUE(eventually(
        [&] {
            desktop_->foregroundWindow();
            return dumpKeymap() == before;
        },
        5s))
        << "the keymap still differs while the program runs";
    // And at the latest when the desktop goes away, even right after a chord.
    EXPECT_EQ(type(VK_F13), (std::vector<std::string>{"press F13", "release F13"}));
    desktop_.reset();
    EXPECT_EQ(dumpKeymap(), before);
}

// What the server has down: "key N" for each keycode, "button mask M"; "" for nothing.
std::string pressed(Display* display) {
    std::string result;
    char keys[32] = {};
    XQueryKeymap(display, keys);
    for (int code = 0; code < 256; ++code) {
        if ((keys[code / 8] >> (code % 8)) & 1) {
            result += "key " + std::to_string(code) + " ";
        }
    }
    Window root = 0;
    Window child = 0;
    int x = 0, y = 0, wx = 0, wy = 0;
    unsigned mask = 0;
    XQueryPointer(display, DefaultRootWindow(display), &root, &child, &x, &y, &wx, &wy, &mask);
    mask &= Button1Mask | Button2Mask | Button3Mask | Button4Mask | Button5Mask;
    if (mask != 0) {
        result += "button mask " + std::to_string(mask);
    }
    return result;
}

bool buttonDown(Display* display) {
    Window root = 0;
    Window child = 0;
    int x = 0, y = 0, wx = 0, wy = 0;
    unsigned mask = 0;
    XQueryPointer(display, DefaultRootWindow(display), &root, &child, &x, &y, &wx, &wy, &mask);
    return (mask & Button1Mask) != 0;
}

TEST_F(X11Layouts, EndingDuringAClickOrARepeatedChordLeavesNothingPressed) {
    ASSERT_NO_FATAL_FAILURE(startProbe());
    // The clicks land inside the probe, away from any window decoration.
    Window root = 0;
    Window child = 0;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    ASSERT_NE(XGetGeometry(display_, static_cast<Window>(probeId_), &root, &x, &y, &width, &height,
                           &border, &depth),
              0);
    XTranslateCoordinates(display_, static_cast<Window>(probeId_), root,
                          static_cast<int>(width / 2), static_cast<int>(height / 2), &x, &y,
                          &child);
    XWarpPointer(display_, None, root, 0, 0, 0, 0, x, y);
    XSync(display_, False);
    const std::string keymap = dumpKeymap();
    for (const int signal : {SIGTERM, SIGINT}) {
        Probe helper({"click"}, "platform_x11_exit_helper");
        ASSERT_EQ(helper.nextStartingWith("started", 10s), "started");
        ASSERT_TRUE(eventually([&] { return buttonDown(display_); })) << "the click began";
        const int status = helper.stop(signal);
        ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
        EXPECT_EQ(WEXITSTATUS(status), 0) << "executors did not stop in time";
        EXPECT_EQ(pressed(display_), "");
    }
    {
        ASSERT_TRUE(desktop_->activateWindow(probeId_));
        probe_->skipAll();
        Probe helper({"chord"}, "platform_x11_exit_helper");
        ASSERT_EQ(helper.nextStartingWith("started", 10s), "started");
        // Several chords went out before the end.
        ASSERT_EQ(probe_->keys(12).size(), 12u);
        const int status = helper.stop(SIGTERM);
        ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
        EXPECT_EQ(WEXITSTATUS(status), 0);
        EXPECT_EQ(pressed(display_), "");
        EXPECT_EQ(dumpKeymap(), keymap) << "the spare keycode went back";
    }
}

TEST_F(X11Layouts, AbsolutePositionsReferToTheMonitorHoldingThePointer) {
    // Two side-by-side monitors on the one 1280 x 1024 screen.
    if (!run("xrandr --setmonitor ZvLeft 640/160x1024/300+0+0 none 2>/dev/null") ||
        !run("xrandr --setmonitor ZvRight 640/160x1024/300+640+0 none 2>/dev/null")) {
        GTEST_SKIP() << "the server cannot define RandR monitors";
    }
    auto pointer = [&] {
        Window root = 0;
        Window child = 0;
        int x = 0, y = 0, wx = 0, wy = 0;
        unsigned mask = 0;
        XQueryPointer(display_, DefaultRootWindow(display_), &root, &child, &x, &y, &wx, &wy,
                      &mask);
        return std::make_pair(x, y);
    };
    auto warp = [&](int x, int y) {
        XWarpPointer(display_, None, DefaultRootWindow(display_), 0, 0, 0, 0, x, y);
        XSync(display_, False);
    };
    warp(900, 100);
    desktop_->moveMouseAbsolute(32768, 32768);
    EXPECT_EQ(pointer(), std::make_pair(960, 512));
    desktop_->moveMouseAbsolute(70000, 70000); // stops at that monitor's edge
    EXPECT_EQ(pointer(), std::make_pair(1279, 1023));
    warp(10, 10);
    desktop_->moveMouseAbsolute(32768, 16384);
    EXPECT_EQ(pointer(), std::make_pair(320, 256));
    desktop_->moveMouseAbsolute(65535, 0);
    EXPECT_EQ(pointer(), std::make_pair(639, 0)) << "the left monitor's edge";
    run("xrandr --delmonitor ZvLeft >/dev/null 2>&1");
    run("xrandr --delmonitor ZvRight >/dev/null 2>&1");
}

} // namespace
} // namespace zorvexa
