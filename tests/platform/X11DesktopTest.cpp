// The X11 backend against a real server (run under Xvfb with a window manager): a probe
// client reports what it receives, and the test checks it against what was sent.
#include "platform/x11/X11Desktop.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "common/KeyNames.h"
#include "common/VirtualKeys.h"
#include "platform/KeyboardSender.h"
#include "tests/platform/X11Probe.h"

namespace zorvexa {
namespace {

using namespace std::chrono_literals;

constexpr std::uint16_t VK_CONTROL = 17;
constexpr std::uint16_t VK_MENU = 18;
constexpr std::uint16_t VK_SHIFT = 16;
constexpr std::uint16_t VK_LEFT = 37;
constexpr std::uint16_t VK_UP = 38;
constexpr std::uint16_t VK_DELETE = 46;
constexpr std::uint16_t VK_C = 67;
constexpr std::uint16_t VK_F13 = 124;
constexpr std::uint16_t VK_LBUTTON = 1;

const TopLevelWindow* findWindow(const std::vector<TopLevelWindow>& list, WindowId id) {
    for (const TopLevelWindow& w : list) {
        if (w.id == id) {
            return &w;
        }
    }
    return nullptr;
}

const std::string kTitle = "Zorvexa probe \xC3\xBC\xE2\x9C\x93"; // UTF-8 ü and a check mark

class X11DesktopTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        desktop_ = X11Desktop::open().release();
        other_ = new Probe({"--class", "ZvOther", "--title", "Other probe", "--transient"});
        otherId_ = idFrom(other_->nextStartingWith("ready", 10s));
        otherDialogId_ = idFrom(other_->nextStartingWith("dialog", 10s));
        probe_ = new Probe({"--class", "ZvProbe", "--title", kTitle, "--icon"});
        probeId_ = idFrom(probe_->nextStartingWith("ready", 10s));
        if (otherId_ == 0 || otherDialogId_ == 0 || probeId_ == 0) {
            std::fprintf(stderr, "probe output:\n%s\nsecond probe output:\n%s\n",
                         probe_->all().c_str(), other_->all().c_str());
            std::system("xprop -root _NET_CLIENT_LIST_STACKING _NET_ACTIVE_WINDOW >&2");
        }
    }

    static void TearDownTestSuite() {
        delete probe_;
        delete other_;
        delete desktop_;
    }

    void SetUp() override {
        ASSERT_NE(desktop_, nullptr) << "no X display";
        ASSERT_NE(probeId_, 0u) << "probe client did not start";
        ASSERT_NE(otherId_, 0u) << "second probe client did not start";
    }

    // Brings the probe to the front and forgets what it has reported so far.
    void focusProbe() {
        ASSERT_TRUE(desktop_->activateWindow(probeId_));
        std::this_thread::sleep_for(50ms);
        probe_->skipAll();
    }

    static X11Desktop* desktop_;
    static Probe* probe_;
    static Probe* other_;
    static WindowId probeId_;
    static WindowId otherId_;
    static WindowId otherDialogId_;
};

X11Desktop* X11DesktopTest::desktop_ = nullptr;
Probe* X11DesktopTest::probe_ = nullptr;
Probe* X11DesktopTest::other_ = nullptr;
WindowId X11DesktopTest::probeId_ = 0;
WindowId X11DesktopTest::otherId_ = 0;
WindowId X11DesktopTest::otherDialogId_ = 0;

TEST_F(X11DesktopTest, ActivationMovesTheForegroundAndItsClass) {
    ASSERT_TRUE(desktop_->activateWindow(otherId_));
    EXPECT_EQ(desktop_->foregroundWindow(), otherId_);
    EXPECT_EQ(desktop_->foregroundClass(), "ZvOther");
    ASSERT_TRUE(desktop_->activateWindow(probeId_));
    EXPECT_EQ(desktop_->foregroundWindow(), probeId_);
    EXPECT_EQ(desktop_->foregroundClass(), "ZvProbe");

    // The foreground is kept between changes of the active window; a change made by
    // another program is seen too, however often it was asked before.
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(desktop_->foregroundClass(), "ZvProbe");
    const std::string activate =
        "xdotool windowactivate --sync " + std::to_string(otherId_) + " >/dev/null 2>&1";
    ASSERT_EQ(std::system(activate.c_str()), 0);
    const auto deadline = std::chrono::steady_clock::now() + 2s;
    while (desktop_->foregroundClass() != "ZvOther" && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(10ms);
    EXPECT_EQ(desktop_->foregroundWindow(), otherId_);
    EXPECT_EQ(desktop_->foregroundClass(), "ZvOther");
}

TEST_F(X11DesktopTest, KeystrokesArriveWithTheirModifiers) {
    focusProbe();
    ASSERT_TRUE(sendKeyboardEvent(*desktop_, VK_C, VK_CONTROL, 0));
    EXPECT_EQ(probe_->keys(4),
              (std::vector<std::string>{"key press Control_L 0", "key press c 4", "key release c 4",
                                        "key release Control_L 4"}));

    ASSERT_TRUE(sendKeyboardEvent(*desktop_, VK_DELETE, VK_CONTROL, VK_MENU));
    EXPECT_EQ(probe_->keys(6),
              (std::vector<std::string>{"key press Control_L 0", "key press Alt_L 4",
                                        "key press Delete c", "key release Delete c",
                                        "key release Alt_L c", "key release Control_L 4"}));

    ASSERT_TRUE(sendKeyboardEvent(*desktop_, VK_LEFT, VK_SHIFT, 0));
    EXPECT_EQ(probe_->keys(4),
              (std::vector<std::string>{"key press Shift_L 0", "key press Left 1",
                                        "key release Left 1", "key release Shift_L 1"}));

    // A letter goes as the lower-case key, without Shift.
    ASSERT_TRUE(sendKeyboardEvent(*desktop_, 'A', 0, 0));
    EXPECT_EQ(probe_->keys(2), (std::vector<std::string>{"key press a 0", "key release a 0"}));

    desktop_->postKeyToForeground(VK_UP);
    EXPECT_EQ(probe_->keys(2), (std::vector<std::string>{"key press Up 0", "key release Up 0"}));
}

TEST_F(X11DesktopTest, KeysMissingFromTheKeymapGetASpareKeycode) {
    focusProbe();
    ASSERT_TRUE(sendKeyboardEvent(*desktop_, VK_F13, 0, 0));
    EXPECT_EQ(probe_->keys(2), (std::vector<std::string>{"key press F13 0", "key release F13 0"}));
    // Again, now from the binding already made.
    ASSERT_TRUE(sendKeyboardEvent(*desktop_, VK_F13, VK_CONTROL, 0));
    EXPECT_EQ(probe_->keys(4),
              (std::vector<std::string>{"key press Control_L 0", "key press F13 4",
                                        "key release F13 4", "key release Control_L 4"}));
}

TEST_F(X11DesktopTest, AChordWithAKeyThatCannotBeTypedIsNotSentAtAll) {
    focusProbe();
    const KeyRecordList list = buildKeystroke(VK_LBUTTON, VK_CONTROL, 0);
    EXPECT_EQ(desktop_->sendKeyRecords(list.records.data(), list.count), 0);
    desktop_->postKeyToForeground(VK_UP); // a marker: the next key lines must be this
    EXPECT_EQ(probe_->keys(2), (std::vector<std::string>{"key press Up 0", "key release Up 0"}));
}

TEST_F(X11DesktopTest, ChordsFromConcurrentThreadsDoNotInterleave) {
    focusProbe();
    constexpr int kThreads = 4;
    constexpr int kChords = 5;
    const std::uint16_t modifiers[kThreads] = {VK_CONTROL, VK_SHIFT, VK_MENU, VK_CONTROL};
    const std::uint16_t keys[kThreads] = {VK_C, VK_LEFT, 'X', VK_DELETE};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kChords; ++i) {
                sendKeyboardEvent(*desktop_, keys[t], modifiers[t], 0);
                desktop_->foregroundClass();
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    const auto lines = probe_->keys(kThreads * kChords * 4);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kThreads * kChords * 4));
    // Each chord arrives as modifier down, key down, key up, modifier up.
    for (std::size_t i = 0; i < lines.size(); i += 4) {
        std::string modifier = lines[i].substr(std::string("key press ").size());
        modifier = modifier.substr(0, modifier.find(' '));
        std::string key = lines[i + 1].substr(std::string("key press ").size());
        key = key.substr(0, key.find(' '));
        EXPECT_EQ(lines[i].rfind("key press " + modifier, 0), 0u) << lines[i];
        EXPECT_EQ(lines[i + 1].rfind("key press " + key, 0), 0u) << lines[i + 1];
        EXPECT_EQ(lines[i + 2].rfind("key release " + key, 0), 0u) << lines[i + 2];
        EXPECT_EQ(lines[i + 3].rfind("key release " + modifier, 0), 0u) << lines[i + 3];
        EXPECT_NE(modifier, key);
    }
}

TEST_F(X11DesktopTest, PointerMovesAndClicks) {
    focusProbe();
    ASSERT_EQ(desktop_->screenWidth(), 1280);
    ASSERT_EQ(desktop_->screenHeight(), 1024);
    desktop_->moveMouseAbsolute(32768, 16384);
    EXPECT_EQ(probe_->nextStartingWith("motion 640 256"), "motion 640 256");
    desktop_->moveMouseRelative(10, -6);
    EXPECT_EQ(probe_->nextStartingWith("motion 650 250"), "motion 650 250");
    desktop_->leftButton(true);
    desktop_->leftButton(false);
    EXPECT_EQ(probe_->nextStartingWith("button"), "button press 1 650 250");
    EXPECT_EQ(probe_->nextStartingWith("button"), "button release 1 650 250");
    // Past either end of the range the pointer stops at the screen's edge.
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    auto pointer = [display] {
        Window rootReturn = 0;
        Window child = 0;
        int x = 0;
        int y = 0;
        int wx = 0;
        int wy = 0;
        unsigned mask = 0;
        XQueryPointer(display, DefaultRootWindow(display), &rootReturn, &child, &x, &y, &wx, &wy,
                      &mask);
        return std::make_pair(x, y);
    };
    desktop_->moveMouseAbsolute(65536, 70000);
    EXPECT_EQ(pointer(), std::make_pair(1279, 1023));
    desktop_->moveMouseAbsolute(-5, 0);
    EXPECT_EQ(pointer(), std::make_pair(0, 0));
    XCloseDisplay(display);
}

TEST_F(X11DesktopTest, ListsTopLevelWindowsFrontMostFirst) {
    ASSERT_TRUE(desktop_->activateWindow(probeId_));
    std::vector<TopLevelWindow> list;
    ASSERT_TRUE(eventually([&] {
        list = desktop_->topLevelWindows();
        return findWindow(list, probeId_) && findWindow(list, otherId_) &&
               findWindow(list, otherDialogId_);
    }));
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(list.front().id, probeId_);

    const TopLevelWindow* probe = findWindow(list, probeId_);
    EXPECT_EQ(probe->title, kTitle);
    EXPECT_EQ(probe->className, "ZvProbe");
    EXPECT_TRUE(probe->visible);
    EXPECT_FALSE(probe->owned);
    EXPECT_FALSE(probe->minimized);
    EXPECT_FALSE(probe->desktopOrDock);
    // Of the 32 x 32 and 16 x 16 icons, the 16 x 16 one (green).
    ASSERT_EQ(probe->icon.width, 16);
    ASSERT_EQ(probe->icon.height, 16);
    ASSERT_EQ(probe->icon.argb.size(), 256u);
    EXPECT_EQ(probe->icon.argb[0], 0xFF00FF00u);

    const TopLevelWindow* dialog = findWindow(list, otherDialogId_);
    EXPECT_TRUE(dialog->owned);
    EXPECT_EQ(dialog->title, "Other probe dialog");
}

TEST_F(X11DesktopTest, ActivationRestoresAMinimisedWindow) {
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    XIconifyWindow(display, static_cast<Window>(otherId_), DefaultScreen(display));
    XFlush(display);
    auto minimised = [&] {
        const auto list = desktop_->topLevelWindows();
        const TopLevelWindow* w = findWindow(list, otherId_);
        return w != nullptr && w->minimized;
    };
    ASSERT_TRUE(eventually(minimised));
    EXPECT_TRUE(findWindow(desktop_->topLevelWindows(), otherId_)->visible);

    EXPECT_TRUE(desktop_->activateWindow(otherId_));
    EXPECT_TRUE(eventually([&] { return !minimised(); }));
    EXPECT_EQ(desktop_->foregroundWindow(), otherId_);
    XWindowAttributes attributes;
    ASSERT_NE(XGetWindowAttributes(display, static_cast<Window>(otherId_), &attributes), 0);
    EXPECT_EQ(attributes.map_state, IsViewable);
    XCloseDisplay(display);
}

TEST_F(X11DesktopTest, VanishedWindowsAreReportedNotFatal) {
    // A window id no client owns: BadWindow errors are recorded, answers are empty.
    const WindowId bogus = 0x3FFFFFF;
    const int before = desktop_->errorCount();
    EXPECT_EQ(desktop_->windowClass(bogus), "");
    EXPECT_FALSE(desktop_->activateWindow(bogus));
    EXPECT_FALSE(desktop_->activateWindow(0));
    EXPECT_GT(desktop_->errorCount(), before);
    EXPECT_EQ(desktop_->windowClass(0), "");
}

TEST_F(X11DesktopTest, OpeningAMissingFileStartsNothing) {
    EXPECT_EQ(desktop_->openFile("/nonexistent/zorvexa/file.txt"), OpenResult::FileNotFound);
}

} // namespace
} // namespace zorvexa

namespace zorvexa {
namespace {

TEST_F(X11DesktopTest, EveryKeyNameWithAKeysymCanBeSentAndMouseButtonsCannot) {
    std::size_t count = 0;
    const VirtualKeySymbol* table = virtualKeySymbols(count);
    for (std::size_t i = 0; i < count; ++i) {
        EXPECT_EQ(XStringToKeysym(table[i].keysymName), static_cast<KeySym>(table[i].keysym))
            << "virtual key " << table[i].vk << " names " << table[i].keysymName;
    }
    int sendable = 0;
    for (const auto& [name, vk] : defaultKeyNames().entries()) {
        if (keysymOfVirtualKey(vk) != 0) {
            EXPECT_TRUE(desktop_->canSendKey(vk)) << name;
            ++sendable;
        }
    }
    EXPECT_GE(sendable, 170);
    for (const int button : {1, 2, 4, 5, 6}) {
        EXPECT_FALSE(desktop_->canSendKey(button)) << button;
    }
}

} // namespace
} // namespace zorvexa
