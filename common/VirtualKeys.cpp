#include "common/VirtualKeys.h"

#include <algorithm>
#include <iterator>

namespace zorvexa {

namespace {

// Ascending by virtual-key code (looked up by binary search). Digits and letters are
// their ASCII codes on both sides except letters, which take the lower-case keysym.
// Every key name with an X keysym has it (the 3270 terminal keys included); mouse
// buttons, IME states and OEM codes without a fixed meaning have none.
constexpr VirtualKeySymbol kTable[] = {
    {0x03, 0xff6b, "Break"},         // VK_CANCEL (Ctrl+Break)
    {0x08, 0xff08, "BackSpace"},     // VK_BACK
    {0x09, 0xff09, "Tab"},           // VK_TAB
    {0x0C, 0xff0b, "Clear"},         // VK_CLEAR
    {0x0D, 0xff0d, "Return"},        // VK_RETURN
    {0x10, 0xffe1, "Shift_L"},       // VK_SHIFT
    {0x11, 0xffe3, "Control_L"},     // VK_CONTROL
    {0x12, 0xffe9, "Alt_L"},         // VK_MENU
    {0x13, 0xff13, "Pause"},         // VK_PAUSE
    {0x14, 0xffe5, "Caps_Lock"},     // VK_CAPITAL
    {0x15, 0xff31, "Hangul"},        // VK_KANA / VK_HANGUL
    {0x17, 0xff38, "Hangul_Jeonja"}, // VK_JUNJA
    {0x19, 0xff21, "Kanji"},         // VK_HANJA / VK_KANJI
    {0x1B, 0xff1b, "Escape"},        // VK_ESCAPE
    {0x1C, 0xff23, "Henkan"},        // VK_CONVERT
    {0x1D, 0xff22, "Muhenkan"},      // VK_NONCONVERT
    {0x1F, 0xff7e, "Mode_switch"},   // VK_MODECHANGE
    {0x20, 0x0020, "space"},         // VK_SPACE
    {0x21, 0xff55, "Prior"},         // VK_PRIOR (Page Up)
    {0x22, 0xff56, "Next"},          // VK_NEXT (Page Down)
    {0x23, 0xff57, "End"},           // VK_END
    {0x24, 0xff50, "Home"},          // VK_HOME
    {0x25, 0xff51, "Left"},          // VK_LEFT
    {0x26, 0xff52, "Up"},            // VK_UP
    {0x27, 0xff53, "Right"},         // VK_RIGHT
    {0x28, 0xff54, "Down"},          // VK_DOWN
    {0x29, 0xff60, "Select"},        // VK_SELECT
    {0x2A, 0xff61, "Print"},         // VK_PRINT
    {0x2B, 0xff62, "Execute"},       // VK_EXECUTE
    {0x2C, 0xff61, "Print"},         // VK_SNAPSHOT
    {0x2D, 0xff63, "Insert"},        // VK_INSERT
    {0x2E, 0xffff, "Delete"},        // VK_DELETE
    {0x2F, 0xff6a, "Help"},          // VK_HELP
    {0x30, 0x0030, "0"},
    {0x31, 0x0031, "1"},
    {0x32, 0x0032, "2"},
    {0x33, 0x0033, "3"},
    {0x34, 0x0034, "4"},
    {0x35, 0x0035, "5"},
    {0x36, 0x0036, "6"},
    {0x37, 0x0037, "7"},
    {0x38, 0x0038, "8"},
    {0x39, 0x0039, "9"},
    {0x41, 0x0061, "a"},
    {0x42, 0x0062, "b"},
    {0x43, 0x0063, "c"},
    {0x44, 0x0064, "d"},
    {0x45, 0x0065, "e"},
    {0x46, 0x0066, "f"},
    {0x47, 0x0067, "g"},
    {0x48, 0x0068, "h"},
    {0x49, 0x0069, "i"},
    {0x4A, 0x006a, "j"},
    {0x4B, 0x006b, "k"},
    {0x4C, 0x006c, "l"},
    {0x4D, 0x006d, "m"},
    {0x4E, 0x006e, "n"},
    {0x4F, 0x006f, "o"},
    {0x50, 0x0070, "p"},
    {0x51, 0x0071, "q"},
    {0x52, 0x0072, "r"},
    {0x53, 0x0073, "s"},
    {0x54, 0x0074, "t"},
    {0x55, 0x0075, "u"},
    {0x56, 0x0076, "v"},
    {0x57, 0x0077, "w"},
    {0x58, 0x0078, "x"},
    {0x59, 0x0079, "y"},
    {0x5A, 0x007a, "z"},
    {0x5B, 0xffeb, "Super_L"}, // VK_LWIN
    {0x5C, 0xffec, "Super_R"}, // VK_RWIN
    {0x5D, 0xff67, "Menu"},    // VK_APPS
    {0x5F, 0x1008ff2f, "XF86Sleep"},
    {0x60, 0xffb0, "KP_0"},
    {0x61, 0xffb1, "KP_1"},
    {0x62, 0xffb2, "KP_2"},
    {0x63, 0xffb3, "KP_3"},
    {0x64, 0xffb4, "KP_4"},
    {0x65, 0xffb5, "KP_5"},
    {0x66, 0xffb6, "KP_6"},
    {0x67, 0xffb7, "KP_7"},
    {0x68, 0xffb8, "KP_8"},
    {0x69, 0xffb9, "KP_9"},
    {0x6A, 0xffaa, "KP_Multiply"},
    {0x6B, 0xffab, "KP_Add"},
    {0x6C, 0xffac, "KP_Separator"},
    {0x6D, 0xffad, "KP_Subtract"},
    {0x6E, 0xffae, "KP_Decimal"},
    {0x6F, 0xffaf, "KP_Divide"},
    {0x70, 0xffbe, "F1"},
    {0x71, 0xffbf, "F2"},
    {0x72, 0xffc0, "F3"},
    {0x73, 0xffc1, "F4"},
    {0x74, 0xffc2, "F5"},
    {0x75, 0xffc3, "F6"},
    {0x76, 0xffc4, "F7"},
    {0x77, 0xffc5, "F8"},
    {0x78, 0xffc6, "F9"},
    {0x79, 0xffc7, "F10"},
    {0x7A, 0xffc8, "F11"},
    {0x7B, 0xffc9, "F12"},
    {0x7C, 0xffca, "F13"},
    {0x7D, 0xffcb, "F14"},
    {0x7E, 0xffcc, "F15"},
    {0x7F, 0xffcd, "F16"},
    {0x80, 0xffce, "F17"},
    {0x81, 0xffcf, "F18"},
    {0x82, 0xffd0, "F19"},
    {0x83, 0xffd1, "F20"},
    {0x84, 0xffd2, "F21"},
    {0x85, 0xffd3, "F22"},
    {0x86, 0xffd4, "F23"},
    {0x87, 0xffd5, "F24"},
    {0x90, 0xff7f, "Num_Lock"},
    {0x91, 0xff14, "Scroll_Lock"},
    {0x92, 0xffbd, "KP_Equal"}, // VK_OEM_NEC_EQUAL (keypad =)
    {0x93, 0xff2c, "Massyo"},   // VK_OEM_FJ_MASSHOU
    {0x94, 0xff2b, "Touroku"},  // VK_OEM_FJ_TOUROKU
    {0xA0, 0xffe1, "Shift_L"},
    {0xA1, 0xffe2, "Shift_R"},
    {0xA2, 0xffe3, "Control_L"},
    {0xA3, 0xffe4, "Control_R"},
    {0xA4, 0xffe9, "Alt_L"},
    {0xA5, 0xffea, "Alt_R"},
    {0xA6, 0x1008ff26, "XF86Back"},
    {0xA7, 0x1008ff27, "XF86Forward"},
    {0xA8, 0x1008ff29, "XF86Refresh"},
    {0xA9, 0x1008ff28, "XF86Stop"},
    {0xAA, 0x1008ff1b, "XF86Search"},
    {0xAB, 0x1008ff30, "XF86Favorites"},
    {0xAC, 0x1008ff18, "XF86HomePage"},
    {0xAD, 0x1008ff12, "XF86AudioMute"},
    {0xAE, 0x1008ff11, "XF86AudioLowerVolume"},
    {0xAF, 0x1008ff13, "XF86AudioRaiseVolume"},
    {0xB0, 0x1008ff17, "XF86AudioNext"},
    {0xB1, 0x1008ff16, "XF86AudioPrev"},
    {0xB2, 0x1008ff15, "XF86AudioStop"},
    {0xB3, 0x1008ff14, "XF86AudioPlay"},
    {0xB4, 0x1008ff19, "XF86Mail"},
    {0xB5, 0x1008ff32, "XF86AudioMedia"},
    {0xB6, 0x1008ff33, "XF86MyComputer"},
    {0xB7, 0x1008ff1d, "XF86Calculator"},
    {0xBA, 0x003b, "semicolon"},         // VK_OEM_1
    {0xBB, 0x003d, "equal"},             // VK_OEM_PLUS
    {0xBC, 0x002c, "comma"},             // VK_OEM_COMMA
    {0xBD, 0x002d, "minus"},             // VK_OEM_MINUS
    {0xBE, 0x002e, "period"},            // VK_OEM_PERIOD
    {0xBF, 0x002f, "slash"},             // VK_OEM_2
    {0xC0, 0x0060, "grave"},             // VK_OEM_3
    {0xDB, 0x005b, "bracketleft"},       // VK_OEM_4
    {0xDC, 0x005c, "backslash"},         // VK_OEM_5
    {0xDD, 0x005d, "bracketright"},      // VK_OEM_6
    {0xDE, 0x0027, "apostrophe"},        // VK_OEM_7
    {0xE2, 0x003c, "less"},              // VK_OEM_102
    {0xE3, 0xff6a, "Help"},              // VK_ICO_HELP
    {0xE6, 0xff0b, "Clear"},             // VK_ICO_CLEAR
    {0xE9, 0xfd08, "3270_Reset"},        // VK_OEM_RESET
    {0xEA, 0xfd12, "3270_Jump"},         // VK_OEM_JUMP
    {0xEB, 0xfd0a, "3270_PA1"},          // VK_OEM_PA1
    {0xEC, 0xfd0b, "3270_PA2"},          // VK_OEM_PA2
    {0xED, 0xfd0c, "3270_PA3"},          // VK_OEM_PA3
    {0xEF, 0xfd1c, "3270_CursorSelect"}, // VK_OEM_CUSEL
    {0xF0, 0xfd0e, "3270_Attn"},         // VK_OEM_ATTN
    {0xF2, 0xfd15, "3270_Copy"},         // VK_OEM_COPY
    {0xF5, 0xfe20, "ISO_Left_Tab"},      // VK_OEM_BACKTAB
    {0xF6, 0xfd0e, "3270_Attn"},         // VK_ATTN
    {0xF7, 0xfd1c, "3270_CursorSelect"}, // VK_CRSEL
    {0xF8, 0xfd1b, "3270_ExSelect"},     // VK_EXSEL
    {0xF9, 0xfd06, "3270_EraseEOF"},     // VK_EREOF
    {0xFA, 0xfd16, "3270_Play"},         // VK_PLAY
    {0xFD, 0xfd0a, "3270_PA1"},          // VK_PA1
    {0xFE, 0xff0b, "Clear"},             // VK_OEM_CLEAR
};

} // namespace

std::uint32_t keysymOfVirtualKey(int vk) {
    const auto found =
        std::lower_bound(std::begin(kTable), std::end(kTable), vk,
                         [](const VirtualKeySymbol& entry, int code) { return entry.vk < code; });
    if (found == std::end(kTable) || found->vk != vk) {
        return 0;
    }
    return found->keysym;
}

const VirtualKeySymbol* virtualKeySymbols(std::size_t& count) {
    count = std::size(kTable);
    return kTable;
}

} // namespace zorvexa
