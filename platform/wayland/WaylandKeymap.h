// The keymap the Wayland backend's virtual keyboard uploads: one keycode of its own for
// every keysym the virtual-key table can name, on the first level, so every key name is
// typed the same whatever layout the user has chosen. Modifier keysyms carry their real
// modifiers (Shift, Control, Mod1 for Alt, Mod4 for Super), so chords arrive whole.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace zorvexa {

struct VirtualKeymap {
    std::string text;                               // xkb keymap, text format v1
    std::map<std::uint32_t, std::uint32_t> keycode; // keysym -> evdev code (xkb code - 8)
};

// Empty text when xkbcommon rejects the keymap (then no keystroke can be sent).
VirtualKeymap buildVirtualKeymap();

} // namespace zorvexa
