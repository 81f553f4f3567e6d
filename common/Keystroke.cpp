#include "common/Keystroke.h"

namespace zorvexa {

namespace {

// PC set-1 make codes of the US 104-key layout, indexed by virtual-key code. Keys that
// share a make code with a numpad key (arrows, navigation block, right-hand modifiers)
// report that shared code. Keys that exist only as E0-prefixed codes without a base
// key (browser, media and launch keys, sleep) and keys without a physical key report 0.
struct ScanCodeTable {
    std::uint16_t codes[256]{};

    constexpr ScanCodeTable() {
        set(0x08, 0x0E); // VK_BACK
        set(0x09, 0x0F); // VK_TAB
        set(0x0C, 0x4C); // VK_CLEAR (numpad 5 without Num Lock)
        set(0x0D, 0x1C); // VK_RETURN
        set(0x10, 0x2A); // VK_SHIFT
        set(0x11, 0x1D); // VK_CONTROL
        set(0x12, 0x38); // VK_MENU
        set(0x13, 0x45); // VK_PAUSE
        set(0x14, 0x3A); // VK_CAPITAL
        set(0x1B, 0x01); // VK_ESCAPE
        set(0x20, 0x39); // VK_SPACE
        set(0x21, 0x49); // VK_PRIOR
        set(0x22, 0x51); // VK_NEXT
        set(0x23, 0x4F); // VK_END
        set(0x24, 0x47); // VK_HOME
        set(0x25, 0x4B); // VK_LEFT
        set(0x26, 0x48); // VK_UP
        set(0x27, 0x4D); // VK_RIGHT
        set(0x28, 0x50); // VK_DOWN
        set(0x2C, 0x54); // VK_SNAPSHOT
        set(0x2D, 0x52); // VK_INSERT
        set(0x2E, 0x53); // VK_DELETE

        // Digits 1..9 are 0x02..0x0A, 0 is 0x0B.
        set('0', 0x0B);
        for (int d = 1; d <= 9; ++d) {
            set('0' + d, static_cast<std::uint16_t>(0x01 + d));
        }
        const char* rows[] = {"QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
        const std::uint16_t rowStart[] = {0x10, 0x1E, 0x2C};
        for (int r = 0; r < 3; ++r) {
            for (int k = 0; rows[r][k] != '\0'; ++k) {
                set(rows[r][k], static_cast<std::uint16_t>(rowStart[r] + k));
            }
        }

        set(0x5B, 0x5B); // VK_LWIN
        set(0x5C, 0x5C); // VK_RWIN
        set(0x5D, 0x5D); // VK_APPS

        // Numpad digits in keypad order.
        const std::uint16_t numpad[] = {0x52, 0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D, 0x47, 0x48, 0x49};
        for (int d = 0; d <= 9; ++d) {
            set(0x60 + d, numpad[d]);
        }
        set(0x6A, 0x37); // VK_MULTIPLY
        set(0x6B, 0x4E); // VK_ADD
        set(0x6D, 0x4A); // VK_SUBTRACT
        set(0x6E, 0x53); // VK_DECIMAL
        set(0x6F, 0x35); // VK_DIVIDE

        // F1..F10 are 0x3B..0x44, F11 0x57, F12 0x58, F13..F23 0x64..0x6E, F24 0x76.
        for (int f = 0; f < 10; ++f) {
            set(0x70 + f, static_cast<std::uint16_t>(0x3B + f));
        }
        set(0x7A, 0x57);
        set(0x7B, 0x58);
        for (int f = 0; f < 11; ++f) {
            set(0x7C + f, static_cast<std::uint16_t>(0x64 + f));
        }
        set(0x87, 0x76);

        set(0x90, 0x45); // VK_NUMLOCK
        set(0x91, 0x46); // VK_SCROLL
        set(0xA0, 0x2A); // VK_LSHIFT
        set(0xA1, 0x36); // VK_RSHIFT
        set(0xA2, 0x1D); // VK_LCONTROL
        set(0xA3, 0x1D); // VK_RCONTROL
        set(0xA4, 0x38); // VK_LMENU
        set(0xA5, 0x38); // VK_RMENU

        set(0xBA, 0x27); // VK_OEM_1      ;
        set(0xBB, 0x0D); // VK_OEM_PLUS   =
        set(0xBC, 0x33); // VK_OEM_COMMA  ,
        set(0xBD, 0x0C); // VK_OEM_MINUS  -
        set(0xBE, 0x34); // VK_OEM_PERIOD .
        set(0xBF, 0x35); // VK_OEM_2      /
        set(0xC0, 0x29); // VK_OEM_3      `
        set(0xDB, 0x1A); // VK_OEM_4      [
        set(0xDC, 0x2B); // VK_OEM_5      backslash
        set(0xDD, 0x1B); // VK_OEM_6      ]
        set(0xDE, 0x28); // VK_OEM_7      '
        set(0xE2, 0x56); // VK_OEM_102    the extra key of 102-key boards
    }

    constexpr void set(int vk, std::uint16_t code) { codes[vk] = code; }
};

constexpr ScanCodeTable kScanCodes;

void append(KeyRecordList& list, int vk, std::uint16_t scan, std::uint32_t flags) {
    KeyRecord& record = list.records[static_cast<std::size_t>(list.count++)];
    record.vk = static_cast<std::uint16_t>(vk);
    record.scan = scan;
    record.flags = flags;
}

} // namespace

bool isExtendedKey(int vk) {
    return (vk >= 33 && vk <= 40) || vk == 45 || vk == 46;
}

std::uint16_t scanCodeOf(int vk) {
    if (vk < 0 || vk > 255) {
        return 0;
    }
    return kScanCodes.codes[vk];
}

KeyRecordList buildKeystroke(std::uint16_t key, std::uint16_t modifier1, std::uint16_t modifier2) {
    KeyRecordList list;
    if (key == 0) {
        return list;
    }
    // A second modifier on its own acts as the only modifier, so the key is still sent
    // with the one modifier the configuration names.
    if (modifier1 == 0 && modifier2 != 0) {
        modifier1 = modifier2;
        modifier2 = 0;
    }
    const std::uint32_t extended = isExtendedKey(key) ? kKeyEventExtendedKey : 0;
    if (modifier1 == 0) {
        append(list, key, 0, extended);
        append(list, key, 0, extended | kKeyEventKeyUp);
    } else if (modifier2 == 0) {
        // Only this form carries scan codes.
        const std::uint16_t modScan = scanCodeOf(modifier1);
        const std::uint16_t keyScan = scanCodeOf(key);
        append(list, modifier1, modScan, 0);
        append(list, key, keyScan, extended);
        append(list, key, keyScan, extended | kKeyEventKeyUp);
        append(list, modifier1, modScan, kKeyEventKeyUp);
    } else {
        append(list, modifier1, 0, 0);
        append(list, modifier2, 0, 0);
        append(list, key, 0, extended);
        append(list, key, 0, extended | kKeyEventKeyUp);
        append(list, modifier2, 0, kKeyEventKeyUp);
        append(list, modifier1, 0, kKeyEventKeyUp);
    }
    return list;
}

} // namespace zorvexa
