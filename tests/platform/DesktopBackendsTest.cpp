// The parts of the desktop backends that need no desktop: which backend a session gets,
// the Wayland keymap, and the uinput event stream (written to a pipe here).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <linux/input.h>
#include <xkbcommon/xkbcommon.h>

#include <memory>
#include <tuple>
#include <vector>

#include "common/Keystroke.h"
#include "common/VirtualKeys.h"
#include "platform/DesktopChoice.h"
#include "platform/uinput/EvdevKeys.h"
#include "platform/uinput/UinputDesktop.h"
#include "platform/wayland/WaylandKeymap.h"

namespace zorvexa {
namespace {

DesktopKind choose(const std::string& wayland, const std::string& type, const std::string& x,
                   const std::string& requested, std::string* warningOut = nullptr) {
    DesktopSession session{wayland, type, x, requested};
    std::string warning;
    const DesktopKind kind = preferredDesktop(session, warning);
    if (warningOut != nullptr) {
        *warningOut = warning;
    }
    return kind;
}

TEST(DesktopChoice, SessionDecidesAndTheVariableOverrides) {
    // A Wayland session with XWayland is still a Wayland session.
    EXPECT_EQ(choose("wayland-0", "", ":0", ""), DesktopKind::Wayland);
    EXPECT_EQ(choose("", "wayland", "", ""), DesktopKind::Wayland);
    EXPECT_EQ(choose("", "x11", ":0", ""), DesktopKind::X11);
    EXPECT_EQ(choose("", "", ":0", ""), DesktopKind::X11);
    EXPECT_EQ(choose("", "tty", "", ""), DesktopKind::None);
    EXPECT_EQ(choose("wayland-0", "wayland", ":0", "x11"), DesktopKind::X11);
    EXPECT_EQ(choose("", "", ":0", "wayland"), DesktopKind::Wayland);
    EXPECT_EQ(choose("wayland-0", "", "", "uinput"), DesktopKind::Uinput);
    EXPECT_EQ(choose("wayland-0", "", ":0", "none"), DesktopKind::None);
    std::string warning;
    EXPECT_EQ(choose("", "", ":0", "gnome", &warning), DesktopKind::X11);
    EXPECT_NE(warning.find("ZORVEXA_DESKTOP=gnome"), std::string::npos) << warning;
}

TEST(DesktopChoice, DescriptionNamesTheBackendAndEveryNote) {
    DesktopChoice choice;
    choice.kind = DesktopKind::Uinput;
    choice.notes = {"first", "second"};
    EXPECT_EQ(describeDesktopChoice(choice), "desktop: uinput\n  first\n  second\n");
}

// Every keysym the key-name table can name gets a key of its own on the first level,
// and the modifier keys carry their modifiers, whatever the user's layout.
TEST(WaylandKeymap, EveryNamedKeyTypesItsKeysymAndModifiersAreReal) {
    const VirtualKeymap keymap = buildVirtualKeymap();
    ASSERT_FALSE(keymap.text.empty());
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    xkb_keymap* compiled = xkb_keymap_new_from_string(
        context, keymap.text.c_str(), XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
    ASSERT_NE(compiled, nullptr);
    xkb_state* state = xkb_state_new(compiled);
    std::size_t count = 0;
    const VirtualKeySymbol* table = virtualKeySymbols(count);
    for (std::size_t i = 0; i < count; ++i) {
        if (table[i].keysym == 0) {
            continue;
        }
        // Keysym names that start with a digit (3270_Reset) cannot be written in keymap
        // text; those keys are left out (and reported as unsendable).
        const char* name = table[i].keysymName;
        if (name[0] >= '0' && name[0] <= '9' && name[1] != '\0') {
            EXPECT_EQ(keymap.keycode.count(table[i].keysym), 0u) << name;
            continue;
        }
        const auto found = keymap.keycode.find(table[i].keysym);
        ASSERT_NE(found, keymap.keycode.end()) << table[i].keysymName;
        EXPECT_EQ(xkb_state_key_get_one_sym(state, found->second + 8), table[i].keysym)
            << table[i].keysymName;
    }
    const std::pair<std::uint32_t, const char*> modifiers[] = {
        {XKB_KEY_Shift_L, XKB_MOD_NAME_SHIFT},
        {XKB_KEY_Control_L, XKB_MOD_NAME_CTRL},
        {XKB_KEY_Alt_L, XKB_MOD_NAME_ALT},
        {XKB_KEY_Super_L, XKB_MOD_NAME_LOGO}};
    for (const auto& [keysym, name] : modifiers) {
        const std::uint32_t code = keymap.keycode.at(keysym) + 8;
        xkb_state_update_key(state, code, XKB_KEY_DOWN);
        EXPECT_GT(xkb_state_mod_name_is_active(state, name, XKB_STATE_MODS_DEPRESSED), 0) << name;
        xkb_state_update_key(state, code, XKB_KEY_UP);
        EXPECT_EQ(xkb_state_mod_name_is_active(state, name, XKB_STATE_MODS_DEPRESSED), 0) << name;
    }
    xkb_state_unref(state);
    xkb_keymap_unref(compiled);
    xkb_context_unref(context);
}

TEST(EvdevKeys, TableIsSortedAndNamesThePcKeys) {
    std::size_t count = 0;
    const VirtualKeyEvdev* table = virtualKeyEvdevCodes(count);
    for (std::size_t i = 1; i < count; ++i) {
        EXPECT_LT(table[i - 1].vk, table[i].vk) << "the table must stay sorted";
    }
    const std::pair<int, int> keys[] = {
        {0x0D, KEY_ENTER},     {0x1B, KEY_ESC},       {0x20, KEY_SPACE}, {0x25, KEY_LEFT},
        {0x26, KEY_UP},        {0x28, KEY_DOWN},      {0x30, KEY_0},     {0x41, KEY_A},
        {0x5A, KEY_Z},         {0x70, KEY_F1},        {0x87, KEY_F24},   {0xA5, KEY_RIGHTALT},
        {0xBA, KEY_SEMICOLON}, {0xDE, KEY_APOSTROPHE}};
    for (const auto& [vk, code] : keys) {
        EXPECT_EQ(evdevCodeOfVirtualKey(vk), code) << vk;
    }
    EXPECT_EQ(evdevCodeOfVirtualKey(0x01), 0); // a mouse button is no key
}

class UinputStream : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(pipe2(fds, O_CLOEXEC | O_NONBLOCK), 0);
        desktop = UinputDesktop::overDescriptor(fds[1]);
    }
    void TearDown() override {
        desktop.reset();
        for (int fd : fds) {
            if (fd >= 0) {
                close(fd);
            }
        }
    }
    // The events written so far, as (type, code, value).
    std::vector<std::tuple<int, int, int>> events() {
        std::vector<std::tuple<int, int, int>> result;
        input_event event{};
        while (read(fds[0], &event, sizeof event) == static_cast<ssize_t>(sizeof event)) {
            result.emplace_back(event.type, event.code, event.value);
        }
        return result;
    }
    int fds[2] = {-1, -1};
    std::unique_ptr<UinputDesktop> desktop;
};

using Events = std::vector<std::tuple<int, int, int>>;

TEST_F(UinputStream, ChordIsSentWholeWithAReportAfterEachKey) {
    const KeyRecordList list = buildKeystroke(0x23, 0x11, 0x10); // Ctrl+Shift+End
    EXPECT_EQ(desktop->sendKeyRecords(list.records.data(), list.count), list.count);
    const Events expected = {
        {EV_KEY, KEY_LEFTCTRL, 1}, {EV_SYN, SYN_REPORT, 0},   {EV_KEY, KEY_LEFTSHIFT, 1},
        {EV_SYN, SYN_REPORT, 0},   {EV_KEY, KEY_END, 1},      {EV_SYN, SYN_REPORT, 0},
        {EV_KEY, KEY_END, 0},      {EV_SYN, SYN_REPORT, 0},   {EV_KEY, KEY_LEFTSHIFT, 0},
        {EV_SYN, SYN_REPORT, 0},   {EV_KEY, KEY_LEFTCTRL, 0}, {EV_SYN, SYN_REPORT, 0}};
    EXPECT_EQ(events(), expected);
}

TEST_F(UinputStream, AKeyWithoutCodeSendsNothingAtAll) {
    const KeyRecordList list = buildKeystroke(0xFF, 0x11, 0); // Ctrl + an unknown code
    EXPECT_EQ(desktop->sendKeyRecords(list.records.data(), list.count), 0);
    EXPECT_TRUE(events().empty());
}

TEST_F(UinputStream, PointerMovesAndTheLeftButton) {
    desktop->moveMouseRelative(-3, 7);
    desktop->moveMouseRelative(0, 0);
    desktop->moveMouseRelative(5, 0);
    desktop->moveMouseAbsolute(100, 100); // not available: nothing written
    desktop->leftButton(true);
    desktop->leftButton(false);
    const Events expected = {
        {EV_REL, REL_X, -3},     {EV_REL, REL_Y, 7},      {EV_SYN, SYN_REPORT, 0},
        {EV_REL, REL_X, 5},      {EV_SYN, SYN_REPORT, 0}, {EV_KEY, BTN_LEFT, 1},
        {EV_SYN, SYN_REPORT, 0}, {EV_KEY, BTN_LEFT, 0},   {EV_SYN, SYN_REPORT, 0}};
    EXPECT_EQ(events(), expected);
}

// A write that fails part-way through a chord releases what was pressed, so no modifier
// stays held; the keystroke is reported as not sent.
TEST_F(UinputStream, FailedWriteIsReportedAndReleasesWhatWasPressed) {
    const KeyRecordList list = buildKeystroke(0x41, 0x11, 0);
    signal(SIGPIPE, SIG_IGN);
    close(fds[0]);
    fds[0] = -1;
    EXPECT_EQ(desktop->sendKeyRecords(list.records.data(), list.count), 0);
}

TEST(UinputDevice, MissingDeviceSaysWhyAndHowToAllowIt) {
    std::string whyNot;
    EXPECT_EQ(UinputDesktop::open(whyNot, "/nonexistent/uinput"), nullptr);
    EXPECT_NE(whyNot.find("modprobe uinput"), std::string::npos) << whyNot;
}

} // namespace
} // namespace zorvexa
