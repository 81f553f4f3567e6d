// Keystroke records: a key pressed and released with up to two modifiers held around it,
// as the list of key events the desktop backend plays in one batch. Pure data; no
// desktop call happens here, so every program can share it.
#pragma once

#include <array>
#include <cstdint>

namespace zorvexa {

constexpr std::uint32_t kKeyEventExtendedKey = 1;
constexpr std::uint32_t kKeyEventKeyUp = 2;

// One key event: virtual-key code, informational PC set-1 scan code, flags.
struct KeyRecord {
    std::uint16_t vk = 0;
    std::uint16_t scan = 0;
    std::uint32_t flags = 0;
};

// At most six records; built on the caller's stack, no allocation.
struct KeyRecordList {
    std::array<KeyRecord, 6> records{};
    int count = 0;
};

// True for the navigation keys that carry the extended-key flag (codes 33..40, 45, 46).
bool isExtendedKey(int vk);

// PC set-1 scan code of a virtual key on a US layout, 0 for keys without one.
std::uint16_t scanCodeOf(int vk);

// The event sequence for `key` with optional modifiers (0 = absent). Empty when key is
// 0. A second modifier without a first one is used as the only modifier.
KeyRecordList buildKeystroke(std::uint16_t key, std::uint16_t modifier1, std::uint16_t modifier2);

} // namespace zorvexa
