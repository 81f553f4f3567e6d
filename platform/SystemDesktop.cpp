#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "platform/DebugSink.h"
#include "platform/Desktop.h"
#include "platform/DesktopChoice.h"
#include "platform/NullDesktop.h"
#include "platform/uinput/UinputDesktop.h"
#include "platform/wayland/WaylandDesktop.h"
#include "platform/x11/X11Desktop.h"

namespace zorvexa {

namespace {

std::mutex g_choiceMutex;
DesktopChoice g_lastChoice;

std::string envText(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

void addNotes(DesktopChoice& choice, const std::vector<std::string>& notes) {
    choice.notes.insert(choice.notes.end(), notes.begin(), notes.end());
}

std::shared_ptr<Desktop> openX11(const DesktopSession& session, DesktopChoice& choice) {
    if (session.display.empty()) {
        choice.notes.push_back("no X display is set (DISPLAY)");
        return nullptr;
    }
    if (std::unique_ptr<X11Desktop> desktop = X11Desktop::open()) {
        choice.kind = DesktopKind::X11;
        addNotes(choice, desktop->limitations());
        return std::shared_ptr<Desktop>(std::move(desktop));
    }
    choice.notes.push_back("cannot connect to X display " + session.display);
    return nullptr;
}

std::shared_ptr<Desktop> openUinput(const DesktopSession& session, DesktopChoice& choice) {
    std::string whyNot;
    if (std::shared_ptr<Desktop> desktop = UinputDesktop::open(whyNot)) {
        choice.kind = DesktopKind::Uinput;
        addNotes(choice, UinputDesktop::limitations());
        return desktop;
    }
    choice.notes.push_back(whyNot);
    // XWayland, when there, still reaches the X11 programs of the session.
    return session.display.empty() ? nullptr : openX11(session, choice);
}

std::shared_ptr<Desktop> openWayland(const DesktopSession& session, DesktopChoice& choice) {
    std::string whyNot;
    if (std::unique_ptr<WaylandDesktop> desktop = WaylandDesktop::open(nullptr, whyNot)) {
        choice.kind = DesktopKind::Wayland;
        addNotes(choice, desktop->limitations());
        return std::shared_ptr<Desktop>(std::move(desktop));
    }
    choice.notes.push_back(whyNot + ": keys and the pointer go through /dev/uinput");
    return openUinput(session, choice);
}

} // namespace

const char* desktopKindName(DesktopKind kind) {
    switch (kind) {
    case DesktopKind::X11:
        return "x11";
    case DesktopKind::Wayland:
        return "wayland";
    case DesktopKind::Uinput:
        return "uinput";
    case DesktopKind::None:
        break;
    }
    return "none";
}

DesktopSession currentDesktopSession() {
    DesktopSession session;
    session.waylandDisplay = envText("WAYLAND_DISPLAY");
    session.sessionType = envText("XDG_SESSION_TYPE");
    session.display = envText("DISPLAY");
    session.requested = envText("ZORVEXA_DESKTOP");
    return session;
}

DesktopKind preferredDesktop(const DesktopSession& session, std::string& warning) {
    for (DesktopKind kind :
         {DesktopKind::X11, DesktopKind::Wayland, DesktopKind::Uinput, DesktopKind::None}) {
        if (session.requested == desktopKindName(kind)) {
            return kind;
        }
    }
    if (!session.requested.empty()) {
        warning = "ZORVEXA_DESKTOP=" + session.requested +
                  " is not one of x11, wayland, uinput, none; choosing from the session";
    }
    if (!session.waylandDisplay.empty() || session.sessionType == "wayland") {
        return DesktopKind::Wayland;
    }
    if (!session.display.empty()) {
        return DesktopKind::X11;
    }
    return DesktopKind::None;
}

DesktopChoice lastDesktopChoice() {
    std::lock_guard<std::mutex> lock(g_choiceMutex);
    return g_lastChoice;
}

std::string describeDesktopChoice(const DesktopChoice& choice) {
    std::string text = std::string("desktop: ") + desktopKindName(choice.kind) + "\n";
    for (const std::string& note : choice.notes) {
        text += "  " + note + "\n";
    }
    return text;
}

bool preferXWaylandForQt() {
    const DesktopSession session = currentDesktopSession();
    std::string ignored;
    if (!envText("QT_QPA_PLATFORM").empty() || session.display.empty() ||
        preferredDesktop(session, ignored) != DesktopKind::Wayland) {
        return false;
    }
    return setenv("QT_QPA_PLATFORM", "xcb", 1) == 0;
}

std::shared_ptr<Desktop> openSystemDesktop() {
    const DesktopSession session = currentDesktopSession();
    DesktopChoice choice;
    std::string warning;
    const DesktopKind preferred = preferredDesktop(session, warning);
    if (!warning.empty()) {
        choice.notes.push_back(warning);
    }
    std::shared_ptr<Desktop> desktop;
    switch (preferred) {
    case DesktopKind::Wayland:
        desktop = openWayland(session, choice);
        break;
    case DesktopKind::X11:
        desktop = openX11(session, choice);
        break;
    case DesktopKind::Uinput:
        desktop = openUinput(session, choice);
        break;
    case DesktopKind::None:
        break;
    }
    if (!desktop) {
        choice.kind = DesktopKind::None;
        if (preferred != DesktopKind::None) {
            choice.notes.push_back("running without desktop input: strokes are recognised, "
                                   "nothing is sent");
        }
        desktop = std::make_shared<NullDesktop>();
    }
    const std::string text = describeDesktopChoice(choice);
    std::fputs(text.c_str(), stderr);
    debugOutput(text);
    {
        std::lock_guard<std::mutex> lock(g_choiceMutex);
        g_lastChoice = choice;
    }
    return desktop;
}

} // namespace zorvexa
