// Virtual-key codes to Linux evdev key codes (linux/input-event-codes.h), as a US PC
// keyboard produces them. A uinput device sends keys by these codes; the compositor then
// reads them with the user's layout, so letters follow that layout while the named keys
// (arrows, F keys, Enter, modifiers) are the same on every layout.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zorvexa {

struct VirtualKeyEvdev {
    int vk;
    std::uint16_t code;
};

// The evdev code of a virtual key, 0 when it has none.
std::uint16_t evdevCodeOfVirtualKey(int vk);

// The whole table, ascending by virtual-key code.
const VirtualKeyEvdev* virtualKeyEvdevCodes(std::size_t& count);

} // namespace zorvexa
