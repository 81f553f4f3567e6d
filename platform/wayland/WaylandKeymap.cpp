#include "platform/wayland/WaylandKeymap.h"

#include <cstdlib>
#include <memory>
#include <vector>

#include <xkbcommon/xkbcommon.h>

#include "common/VirtualKeys.h"

namespace zorvexa {

namespace {

constexpr std::uint32_t kFirstKeycode = 9; // xkb keycodes start at evdev code + 8

// Real modifier of a modifier keysym, "" for any other key.
const char* modifierOf(std::uint32_t keysym) {
    switch (keysym) {
    case XKB_KEY_Shift_L:
    case XKB_KEY_Shift_R:
        return "Shift";
    case XKB_KEY_Control_L:
    case XKB_KEY_Control_R:
        return "Control";
    case XKB_KEY_Alt_L:
    case XKB_KEY_Alt_R:
    case XKB_KEY_Meta_L:
    case XKB_KEY_Meta_R:
        return "Mod1";
    case XKB_KEY_Super_L:
    case XKB_KEY_Super_R:
        return "Mod4";
    case XKB_KEY_Caps_Lock:
        return "Lock";
    case XKB_KEY_Num_Lock:
        return "Mod2";
    default:
        return "";
    }
}

} // namespace

VirtualKeymap buildVirtualKeymap() {
    VirtualKeymap result;
    std::size_t count = 0;
    const VirtualKeySymbol* table = virtualKeySymbols(count);

    std::string keycodes;
    std::string symbols;
    std::string modifierMap;
    std::uint32_t next = kFirstKeycode;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t keysym = table[i].keysym;
        char name[64] = {};
        if (keysym == 0 || result.keycode.count(keysym) != 0 ||
            xkb_keysym_get_name(keysym, name, sizeof name) <= 0) {
            continue;
        }
        // Names such as 3270_Reset read back as numbers in keymap text, which neither the
        // compositor nor the clients could parse: such keys stay out of the keymap.
        if (name[0] >= '0' && name[0] <= '9' && name[1] != '\0') {
            continue;
        }
        const std::uint32_t code = next++;
        const std::string key = "<K" + std::to_string(code) + ">";
        keycodes += "        " + key + " = " + std::to_string(code) + ";\n";
        symbols += "        key " + key + " { [ " + name + " ] };\n";
        const std::string modifier = modifierOf(keysym);
        if (!modifier.empty()) {
            modifierMap += "        modifier_map " + modifier + " { " + key + " };\n";
        }
        result.keycode[keysym] = code - 8;
    }
    const std::string text = "xkb_keymap {\n"
                             "    xkb_keycodes \"zorvexa\" {\n"
                             "        minimum = 8;\n"
                             "        maximum = " +
                             std::to_string(next < 255 ? 255 : next) + ";\n" + keycodes +
                             "    };\n"
                             "    xkb_types \"zorvexa\" { include \"complete\" };\n"
                             "    xkb_compatibility \"zorvexa\" { include \"complete\" };\n"
                             "    xkb_symbols \"zorvexa\" {\n" +
                             symbols + modifierMap +
                             "    };\n"
                             "};\n";

    // Compiled once here so the compositor is never handed a keymap it would reject,
    // and uploaded in xkbcommon's own normalised form.
    std::unique_ptr<xkb_context, decltype(&xkb_context_unref)> context(
        xkb_context_new(XKB_CONTEXT_NO_FLAGS), xkb_context_unref);
    if (!context) {
        result.keycode.clear();
        return result;
    }
    std::unique_ptr<xkb_keymap, decltype(&xkb_keymap_unref)> keymap(
        xkb_keymap_new_from_string(context.get(), text.c_str(), XKB_KEYMAP_FORMAT_TEXT_V1,
                                   XKB_KEYMAP_COMPILE_NO_FLAGS),
        xkb_keymap_unref);
    if (!keymap) {
        result.keycode.clear();
        return result;
    }
    char* compiled = xkb_keymap_get_as_string(keymap.get(), XKB_KEYMAP_FORMAT_TEXT_V1);
    if (compiled != nullptr) {
        result.text = compiled;
        std::free(compiled);
    } else {
        result.keycode.clear();
    }
    return result;
}

} // namespace zorvexa
