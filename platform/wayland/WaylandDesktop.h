// The desktop of a Wayland session on a compositor with the wlroots protocols (sway,
// Hyprland, river, labwc, Wayfire and others):
// - the window in front and the window list: zwlr_foreign_toplevel_management_v1, the
//   toplevel in the activated state and its app_id (XWayland windows show their X class
//   there, so existing configuration entries keep working);
// - keystrokes: zwp_virtual_keyboard_v1 with a keymap of our own (WaylandKeymap), so
//   key names do not depend on the user's layout;
// - pointer: zwlr_virtual_pointer_v1, relative and absolute moves, left button;
// - activation: the toplevel's activate request (restoring it first when minimised).
//
// Threads: one connection, used under one mutex. A dispatch thread of ours reads the
// socket and dispatches the compositor's events under that mutex, so the window list
// stays current and the socket never fills while nobody calls in; the callers (frame
// loop, executor threads, a user interface thread) flush their requests and do their
// roundtrips under the same mutex. No lock is held while waiting for the compositor to
// act on an activation.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/Desktop.h"

namespace zorvexa {

class WaylandDesktop final : public Desktop {
  public:
    // Connects to `displayName` (null: $WAYLAND_DISPLAY). Null, with the reason in
    // `whyNot`, when no compositor answers or it offers none of the protocols we use.
    static std::unique_ptr<WaylandDesktop> open(const char* displayName, std::string& whyNot);
    ~WaylandDesktop() override;

    WaylandDesktop(const WaylandDesktop&) = delete;
    WaylandDesktop& operator=(const WaylandDesktop&) = delete;

    // What this compositor does not let us do, one sentence each ("" when all works).
    std::vector<std::string> limitations() const;

    WindowId foregroundWindow() override;
    std::string windowClass(WindowId window) override;
    int sendKeyRecords(const KeyRecord* records, int count) override;
    void postKeyToForeground(int vk) override;
    bool canSendKey(int vk) override;
    void moveMouseRelative(int dx, int dy) override;
    void moveMouseAbsolute(int nx, int ny) override;
    void leftButton(bool down) override;
    bool activateWindow(WindowId window) override;
    std::vector<TopLevelWindow> topLevelWindows() override;
    OpenResult openFile(const std::string& path) override;
    int screenWidth() override;
    int screenHeight() override;

    struct Impl;

  private:
    explicit WaylandDesktop(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

} // namespace zorvexa
