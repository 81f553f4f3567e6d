// Virtual-key codes to X keysyms (US layout). Kept free of X headers: keysyms are plain
// numbers fixed by the X protocol, so the table builds and is tested anywhere; the X11
// backend turns them into keycodes of the running server.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zorvexa {

struct VirtualKeySymbol {
    int vk;
    std::uint32_t keysym;
    const char* keysymName; // the X name of the keysym, e.g. "Left"
};

// Keysym of a virtual key, 0 when it has none (mouse buttons, IME and OEM-only codes).
// Letters map to the lower-case keysym: Shift is only held when a record asks for it.
std::uint32_t keysymOfVirtualKey(int vk);

// The whole table, ascending by virtual-key code.
const VirtualKeySymbol* virtualKeySymbols(std::size_t& count);

} // namespace zorvexa
