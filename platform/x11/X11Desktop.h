// The desktop of an X11 session: EWMH for the active window, the window list and
// activation; XTest for synthetic keyboard and pointer input.
//
// One display connection for window queries, used under one mutex: Xlib calls of a connection
// must not run concurrently, and the executor threads, the frame loop and the user
// interface all call in. X errors (a window that vanished between two calls) are
// recorded, never fatal.
//
// Choices made for a Linux desktop:
// - Keyboard and pointer input go through X11Input (see there: layouts, spare keycodes,
//   monitors), on a second connection, so window queries never wait behind typing.
// - A window counts as visible when it is mapped, or minimised (iconic), since a
//   minimised window is still one the user can switch to. `disabled` is never set: X has
//   no notion of a window that refuses input while a modal dialog is open.
// - activateWindow waits up to half a second for the window manager to report the
//   window as active, so typing right after it reaches that window.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/Desktop.h"

namespace zorvexa {

class X11Desktop final : public Desktop {
  public:
    // Connects to `displayName` (null: $DISPLAY); null when no server answers.
    static std::unique_ptr<X11Desktop> open(const char* displayName = nullptr);
    ~X11Desktop() override;

    X11Desktop(const X11Desktop&) = delete;
    X11Desktop& operator=(const X11Desktop&) = delete;

    WindowId foregroundWindow() override;
    std::string windowClass(WindowId window) override;
    int sendKeyRecords(const KeyRecord* records, int count) override;
    void postKeyToForeground(int vk) override;
    bool canSendKey(int vk) override;
    void releaseHeldInput() override;
    void moveMouseRelative(int dx, int dy) override;
    void moveMouseAbsolute(int nx, int ny) override;
    void leftButton(bool down) override;
    bool activateWindow(WindowId window) override;
    bool requestActivation(WindowId window) override;
    std::vector<TopLevelWindow> topLevelWindows() override;
    OpenResult openFile(const std::string& path) override;
    int screenWidth() override;
    int screenHeight() override;

    // X errors seen on this connection so far (for diagnostics and tests).
    int errorCount() const;
    // What this server does not let the backend do, each as a sentence for the user.
    std::vector<std::string> limitations() const;

    struct Impl;

  private:
    explicit X11Desktop(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

} // namespace zorvexa
