// Synthetic keyboard and pointer input on an X11 desktop (XTest), on a connection of its
// own so that window queries (the frame loop asks for the window in front every frame)
// never wait behind a chord being typed.
//
// Keys, whatever the layout:
// - A keysym is looked up over every group and shift level of the XKB keymap. A chord is
//   typed in the group that has its key (the user's active group when it does), with the
//   group locked for the chord and the level's modifiers locked as the key's type needs
//   them; the user's group and locked modifiers are put back right after the chord.
// - A keysym with no key at all (F13..F24 on many servers) is bound, for the chord only,
//   to a keycode that has no symbols in any group. Only that keycode's map changes, and
//   it goes back to having none once the server has processed the chord and a short
//   grace period has passed (clients read the keymap lazily and would otherwise see no
//   symbol), at the latest when the object goes away (which waits out that period).
//   Keycodes that had symbols are never touched, so even a crash mid-chord leaves every
//   key of the user's layout as it was. A modifier keysym is never bound that way (it
//   would not be a modifier): a chord that needs a modifier the keymap lacks is not sent.
// - Every press is noted in the process-wide held-input record and released even when a
//   later event of the chord fails. A chord whose events went out counts as sent, so the
//   retry rule never types it twice.
//
// The pointer: absolute positions are relative to the monitor (RandR) that holds the
// pointer; without monitor information, to the whole screen.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <X11/Xlib.h>

#include "common/Keystroke.h"

namespace zorvexa {

class X11Input {
  public:
    // Connects to `displayName` (null: $DISPLAY); null when no server answers.
    static std::unique_ptr<X11Input> open(const char* displayName);
    ~X11Input();

    X11Input(const X11Input&) = delete;
    X11Input& operator=(const X11Input&) = delete;

    int sendKeyRecords(const KeyRecord* records, int count);
    // Whether the keysym of `vk` can be typed on this server.
    bool canSendKey(int vk);

    void moveRelative(int dx, int dy);
    void moveAbsolute(int nx, int ny);
    void leftButton(bool down);

    // Releases every key and button this connection holds down.
    void releaseHeld();
    // Puts back spare keycodes whose grace period is over, unless the connection is busy.
    void restoreSparesIfIdle();

    int errorCount() const;
    // What this server does not let us do (no XTest: no input at all; no XKB: no keys),
    // each as a sentence for the user.
    std::vector<std::string> limitations() const;

    struct Impl;

  private:
    explicit X11Input(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

} // namespace zorvexa
