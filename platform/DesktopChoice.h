// Which desktop backend this session gets, and what it cannot do here, as plain text
// for standard error and for a notice in the main window.
//
// A Wayland session (WAYLAND_DISPLAY set, or XDG_SESSION_TYPE=wayland) gets the Wayland
// backend, an X11 session (DISPLAY set) the X11 one, neither the null desktop;
// ZORVEXA_DESKTOP=x11|wayland|uinput|none overrides that. A backend that cannot open
// falls back: Wayland without the wlroots protocols to uinput, uinput to X11 when an X
// server (XWayland) answers, then to the null desktop.
#pragma once

#include <string>
#include <vector>

namespace zorvexa {

enum class DesktopKind { X11, Wayland, Uinput, None };

// "x11", "wayland", "uinput", "none".
const char* desktopKindName(DesktopKind kind);

struct DesktopSession {
    std::string waylandDisplay; // $WAYLAND_DISPLAY
    std::string sessionType;    // $XDG_SESSION_TYPE
    std::string display;        // $DISPLAY
    std::string requested;      // $ZORVEXA_DESKTOP
};

DesktopSession currentDesktopSession();

// The backend to try first. An unknown ZORVEXA_DESKTOP value is ignored, with a message
// in `warning`.
DesktopKind preferredDesktop(const DesktopSession& session, std::string& warning);

struct DesktopChoice {
    DesktopKind kind = DesktopKind::None;
    // Why a backend tried before this one did not open, and what this one cannot do;
    // one sentence each.
    std::vector<std::string> notes;
};

// What the last openSystemDesktop() chose (kind None and no notes before the first).
DesktopChoice lastDesktopChoice();

// "desktop: wayland" and one indented line per note, each line ending in a newline.
std::string describeDesktopChoice(const DesktopChoice& choice);

// Called before the QApplication exists: in a Wayland session with XWayland (DISPLAY
// set) the Qt windows run through XWayland (QT_QPA_PLATFORM=xcb) unless the user chose a
// Qt platform, so the indicator can stay above other windows without taking the focus,
// dialogs can be placed, and the X class ("Osmerak") is what the compositor reports as
// the app_id. Returns whether it chose.
bool preferXWaylandForQt();

} // namespace zorvexa
