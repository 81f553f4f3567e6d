// The only door from the program to the desktop: the window in front and its class,
// synthetic keyboard and pointer input, window activation and listing, opening files.
// platform/x11 implements it on a real X11 desktop, platform/wayland on wlroots
// compositors, platform/uinput for input anywhere else; platform/fake records calls for
// tests.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/Keystroke.h"
#include "common/VirtualKeys.h"

namespace zorvexa {

using WindowId = std::uint64_t; // 0 = no window

struct WindowIcon {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb; // width * height pixels, 0xAARRGGBB
};

struct TopLevelWindow {
    WindowId id = 0;
    std::string title;     // UTF-8
    std::string className; // class part of WM_CLASS
    bool visible = true;   // mapped and not withdrawn
    bool owned = false;    // has an owner (transient for another window)
    bool disabled = false; // does not accept input
    bool desktopOrDock = false;
    bool minimized = false;
    WindowIcon icon; // empty when the window has none
};

// Result of openFile.
enum class OpenResult { Started, FileNotFound, Failed };

class Desktop {
  public:
    virtual ~Desktop() = default;

    virtual WindowId foregroundWindow() = 0;
    // Class name of a window ("" for none or unknown).
    virtual std::string windowClass(WindowId window) = 0;
    std::string foregroundClass() { return windowClass(foregroundWindow()); }

    // Plays the records in one batch; returns how many were inserted (0 = failure).
    virtual int sendKeyRecords(const KeyRecord* records, int count) = 0;
    // One press and release of a key, delivered to the window that has the focus.
    virtual void postKeyToForeground(int vk) = 0;

    // Whether the key of a virtual-key code can be typed on this desktop at all (so a
    // configuration can say so when it is loaded). By default: the key has a keysym.
    virtual bool canSendKey(int vk) { return keysymOfVirtualKey(vk) != 0; }
    // Releases every key and button this desktop's synthetic input holds down.
    virtual void releaseHeldInput() {}

    virtual void moveMouseRelative(int dx, int dy) = 0;
    // Absolute position normalised to 0..65535 across the screen (on X11: across the
    // monitor that holds the pointer).
    virtual void moveMouseAbsolute(int nx, int ny) = 0;
    virtual void leftButton(bool down) = 0;

    // Brings a window to the front with the focus, restoring it when minimised.
    virtual bool activateWindow(WindowId window) = 0;
    // Asks for activateWindow without waiting for the outcome (callers that must not
    // block poll foregroundWindow). By default the same as activateWindow.
    virtual bool requestActivation(WindowId window) { return activateWindow(window); }
    // Top-level windows, front-most first.
    virtual std::vector<TopLevelWindow> topLevelWindows() = 0;

    // A program (execute bit) is started directly with no arguments; any other file is
    // handed to the desktop's opener. Never through a shell; detached.
    virtual OpenResult openFile(const std::string& path) = 0;

    // Screen size in pixels.
    virtual int screenWidth() = 0;
    virtual int screenHeight() = 0;
};

// The desktop of this session, chosen as platform/DesktopChoice.h describes; a desktop
// that does nothing when no backend opens (so headless runs never crash).
std::shared_ptr<Desktop> openSystemDesktop();

} // namespace zorvexa
