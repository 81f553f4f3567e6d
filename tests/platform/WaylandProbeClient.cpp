// A native Wayland test client: one xdg toplevel with the app_id and title given, which
// prints every keyboard and pointer event it receives, one line each, for the desktop
// tests to read:
//   ready
//   focus in | focus out
//   key press NAME [MODS] | key release NAME [MODS]   (keysym name, held modifiers)
//   pointer enter X Y | pointer motion X Y | pointer button CODE press|release
// Usage: platform_wayland_probe --app-id ID [--title TEXT]
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include "xdg-shell-client-protocol.h"

namespace {

struct Client {
    wl_display* display = nullptr;
    wl_compositor* compositor = nullptr;
    wl_shm* shm = nullptr;
    wl_seat* seat = nullptr;
    xdg_wm_base* wmBase = nullptr;
    wl_surface* surface = nullptr;
    xdg_surface* xdgSurface = nullptr;
    xdg_toplevel* toplevel = nullptr;
    wl_buffer* buffer = nullptr;
    wl_keyboard* keyboard = nullptr;
    wl_pointer* pointer = nullptr;
    xkb_context* xkb = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    xkb_keymap* keymap = nullptr;
    xkb_state* state = nullptr;
    bool configured = false;
    bool readyPrinted = false;
};

void say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

std::string heldModifiers(Client& c) {
    std::string mods;
    const char* names[][2] = {{XKB_MOD_NAME_CTRL, "Control"},
                              {XKB_MOD_NAME_SHIFT, "Shift"},
                              {XKB_MOD_NAME_ALT, "Alt"},
                              {XKB_MOD_NAME_LOGO, "Super"}};
    for (const auto& name : names) {
        if (c.state != nullptr &&
            xkb_state_mod_name_is_active(c.state, name[0], XKB_STATE_MODS_EFFECTIVE) > 0) {
            mods += mods.empty() ? "" : "+";
            mods += name[1];
        }
    }
    return mods;
}

wl_buffer* whiteBuffer(wl_shm* shm, int width, int height) {
    const int stride = width * 4;
    const int size = stride * height;
    const int fd = memfd_create("probe", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, size) != 0) {
        return nullptr;
    }
    void* data =
        mmap(nullptr, static_cast<size_t>(size), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (data == MAP_FAILED) {
        close(fd);
        return nullptr;
    }
    std::memset(data, 0xFF, static_cast<size_t>(size));
    munmap(data, static_cast<size_t>(size));
    wl_shm_pool* pool = wl_shm_create_pool(shm, fd, size);
    wl_buffer* buffer =
        wl_shm_pool_create_buffer(pool, 0, width, height, stride, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    return buffer;
}

// --- keyboard ------------------------------------------------------------------------
void onKeymap(void* data, wl_keyboard*, uint32_t format, int32_t fd, uint32_t size) {
    auto* c = static_cast<Client*>(data);
    if (format != WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1) {
        close(fd);
        return;
    }
    void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    close(fd);
    if (text == MAP_FAILED) {
        return;
    }
    xkb_keymap* keymap =
        xkb_keymap_new_from_string(c->xkb, static_cast<const char*>(text),
                                   XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
    munmap(text, size);
    if (keymap == nullptr) {
        say("keymap rejected");
        return;
    }
    xkb_state_unref(c->state);
    xkb_keymap_unref(c->keymap);
    c->keymap = keymap;
    c->state = xkb_state_new(keymap);
}
void onEnter(void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {
    say("focus in");
}
void onLeave(void*, wl_keyboard*, uint32_t, wl_surface*) {
    say("focus out");
}
void onKey(void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t key, uint32_t state) {
    auto* c = static_cast<Client*>(data);
    if (c->state == nullptr) {
        say("key without keymap");
        return;
    }
    const xkb_keysym_t sym = xkb_state_key_get_one_sym(c->state, key + 8);
    char name[64] = "NoSymbol";
    xkb_keysym_get_name(sym, name, sizeof name);
    std::string line = std::string("key ") +
                       (state == WL_KEYBOARD_KEY_STATE_PRESSED ? "press " : "release ") + name;
    const std::string mods = heldModifiers(*c);
    if (!mods.empty()) {
        line += " " + mods;
    }
    say(line);
}
void onModifiers(void* data, wl_keyboard*, uint32_t, uint32_t depressed, uint32_t latched,
                 uint32_t locked, uint32_t group) {
    auto* c = static_cast<Client*>(data);
    if (c->state != nullptr) {
        xkb_state_update_mask(c->state, depressed, latched, locked, 0, 0, group);
    }
}
void onRepeat(void*, wl_keyboard*, int32_t, int32_t) {}
const wl_keyboard_listener kKeyboardListener = {onKeymap, onEnter,     onLeave,
                                                onKey,    onModifiers, onRepeat};

// --- pointer -------------------------------------------------------------------------
void onPointerEnter(void*, wl_pointer*, uint32_t, wl_surface*, wl_fixed_t x, wl_fixed_t y) {
    say("pointer enter " + std::to_string(wl_fixed_to_int(x)) + " " +
        std::to_string(wl_fixed_to_int(y)));
}
void onPointerLeave(void*, wl_pointer*, uint32_t, wl_surface*) {
    say("pointer leave");
}
void onMotion(void*, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y) {
    say("pointer motion " + std::to_string(wl_fixed_to_int(x)) + " " +
        std::to_string(wl_fixed_to_int(y)));
}
void onButton(void*, wl_pointer*, uint32_t, uint32_t, uint32_t button, uint32_t state) {
    say("pointer button " + std::to_string(button) +
        (state == WL_POINTER_BUTTON_STATE_PRESSED ? " press" : " release"));
}
void onAxis(void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {}
void onFrame(void*, wl_pointer*) {}
void onAxisSource(void*, wl_pointer*, uint32_t) {}
void onAxisStop(void*, wl_pointer*, uint32_t, uint32_t) {}
void onAxisDiscrete(void*, wl_pointer*, uint32_t, int32_t) {}
const wl_pointer_listener kPointerListener = {
    onPointerEnter, onPointerLeave, onMotion,   onButton,       onAxis,
    onFrame,        onAxisSource,   onAxisStop, onAxisDiscrete, nullptr};

// --- seat, shell, registry -----------------------------------------------------------
// Input devices come and go (the backend under test brings its own): a capability that
// goes away makes the old object inert, so it is dropped and asked for again later.
void onCapabilities(void* data, wl_seat* seat, uint32_t caps) {
    auto* c = static_cast<Client*>(data);
    const bool hasKeyboard = (caps & WL_SEAT_CAPABILITY_KEYBOARD) != 0;
    const bool hasPointer = (caps & WL_SEAT_CAPABILITY_POINTER) != 0;
    if (hasKeyboard && c->keyboard == nullptr) {
        c->keyboard = wl_seat_get_keyboard(seat);
        wl_keyboard_add_listener(c->keyboard, &kKeyboardListener, c);
    } else if (!hasKeyboard && c->keyboard != nullptr) {
        wl_keyboard_release(c->keyboard);
        c->keyboard = nullptr;
    }
    if (hasPointer && c->pointer == nullptr) {
        c->pointer = wl_seat_get_pointer(seat);
        wl_pointer_add_listener(c->pointer, &kPointerListener, c);
    } else if (!hasPointer && c->pointer != nullptr) {
        wl_pointer_release(c->pointer);
        c->pointer = nullptr;
    }
}
void onSeatName(void*, wl_seat*, const char*) {}
const wl_seat_listener kSeatListener = {onCapabilities, onSeatName};

void onPing(void*, xdg_wm_base* base, uint32_t serial) {
    xdg_wm_base_pong(base, serial);
}
const xdg_wm_base_listener kWmBaseListener = {onPing};

void onSurfaceConfigure(void* data, xdg_surface* surface, uint32_t serial) {
    auto* c = static_cast<Client*>(data);
    xdg_surface_ack_configure(surface, serial);
    if (!c->configured) {
        c->configured = true;
        c->buffer = whiteBuffer(c->shm, 320, 240);
        wl_surface_attach(c->surface, c->buffer, 0, 0);
    }
    wl_surface_commit(c->surface);
}
const xdg_surface_listener kXdgSurfaceListener = {onSurfaceConfigure};

void onToplevelConfigure(void*, xdg_toplevel*, int32_t, int32_t, wl_array*) {}
void onToplevelClose(void*, xdg_toplevel*) {
    say("closed");
}
const xdg_toplevel_listener kToplevelListener = {onToplevelConfigure, onToplevelClose, nullptr,
                                                 nullptr};

void onGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
    auto* c = static_cast<Client*>(data);
    const std::string which = interface;
    if (which == wl_compositor_interface.name) {
        c->compositor = static_cast<wl_compositor*>(
            wl_registry_bind(registry, name, &wl_compositor_interface, 4));
    } else if (which == wl_shm_interface.name) {
        c->shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
    } else if (which == wl_seat_interface.name && c->seat == nullptr) {
        c->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 5));
        wl_seat_add_listener(c->seat, &kSeatListener, c);
    } else if (which == xdg_wm_base_interface.name) {
        c->wmBase =
            static_cast<xdg_wm_base*>(wl_registry_bind(registry, name, &xdg_wm_base_interface, 1));
        xdg_wm_base_add_listener(c->wmBase, &kWmBaseListener, c);
    }
}
void onGlobalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kRegistryListener = {onGlobal, onGlobalRemove};

} // namespace

int main(int argc, char** argv) {
    std::string appId = "zorvexa-probe";
    std::string title = "Probe";
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--app-id") == 0) {
            appId = argv[i + 1];
        } else if (std::strcmp(argv[i], "--title") == 0) {
            title = argv[i + 1];
        }
    }
    Client c;
    c.display = wl_display_connect(nullptr);
    if (c.display == nullptr) {
        std::fprintf(stderr, "platform_wayland_probe: no Wayland compositor\n");
        return 1;
    }
    wl_registry* registry = wl_display_get_registry(c.display);
    wl_registry_add_listener(registry, &kRegistryListener, &c);
    wl_display_roundtrip(c.display);
    if (c.compositor == nullptr || c.shm == nullptr || c.wmBase == nullptr) {
        std::fprintf(stderr, "platform_wayland_probe: compositor lacks xdg-shell or shm\n");
        return 1;
    }
    c.surface = wl_compositor_create_surface(c.compositor);
    c.xdgSurface = xdg_wm_base_get_xdg_surface(c.wmBase, c.surface);
    xdg_surface_add_listener(c.xdgSurface, &kXdgSurfaceListener, &c);
    c.toplevel = xdg_surface_get_toplevel(c.xdgSurface);
    xdg_toplevel_add_listener(c.toplevel, &kToplevelListener, &c);
    xdg_toplevel_set_app_id(c.toplevel, appId.c_str());
    xdg_toplevel_set_title(c.toplevel, title.c_str());
    wl_surface_commit(c.surface);
    while (wl_display_dispatch(c.display) >= 0) {
        if (c.configured && !c.readyPrinted) {
            wl_display_roundtrip(c.display);
            c.readyPrinted = true;
            say("ready");
        }
    }
    return 0;
}
