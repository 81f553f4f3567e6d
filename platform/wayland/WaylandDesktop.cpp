#include "platform/wayland/WaylandDesktop.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

#include <linux/input-event-codes.h>
#include <sys/mman.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include "common/VirtualKeys.h"
#include "platform/DebugSink.h"
#include "platform/HeldInput.h"
#include "platform/ProcessLauncher.h"
#include "platform/wayland/WaylandKeymap.h"
#include "virtual-keyboard-unstable-v1-client-protocol.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

namespace zorvexa {

namespace {

constexpr auto kActivationWait = std::chrono::milliseconds(500);
// After the keymap upload the compositor hands the keymap to the focused client when
// it next sees an event of this keyboard; a key sent before that is read with the old
// keymap or dropped. Settled once, when the backend opens.
constexpr auto kKeymapSettle = std::chrono::milliseconds(100);

std::uint32_t nowMilliseconds() {
    using namespace std::chrono;
    return static_cast<std::uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// A file holding `text` for the keymap request; -1 on failure.
int keymapFile(const std::string& text) {
    const int fd = memfd_create("zorvexa-keymap", MFD_CLOEXEC);
    if (fd < 0) {
        return -1;
    }
    const char* data = text.c_str();
    std::size_t left = text.size() + 1; // the keymap is sent with its terminating zero
    while (left > 0) {
        const ssize_t written = write(fd, data, left);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            close(fd);
            return -1;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return fd;
}

} // namespace

struct Toplevel {
    WindowId id = 0;
    zwlr_foreign_toplevel_handle_v1* handle = nullptr;
    zwlr_foreign_toplevel_handle_v1* parent = nullptr;
    std::string title;
    std::string appId;
    bool activated = false;
    bool minimized = false;
    unsigned long lastActivation = 0; // order of activation, for front-most first
};

struct WaylandDesktop::Impl {
    std::mutex mutex;
    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_seat* seat = nullptr;
    wl_output* output = nullptr;
    int outputWidth = 0;
    int outputHeight = 0;
    zwlr_foreign_toplevel_manager_v1* toplevelManager = nullptr;
    zwp_virtual_keyboard_manager_v1* keyboardManager = nullptr;
    zwlr_virtual_pointer_manager_v1* pointerManager = nullptr;
    zwp_virtual_keyboard_v1* keyboard = nullptr;
    zwlr_virtual_pointer_v1* pointer = nullptr;

    std::map<std::uint32_t, std::uint32_t> keycodes; // keysym -> evdev code
    xkb_context* xkbContext = nullptr;
    xkb_keymap* xkbKeymap = nullptr;
    xkb_state* xkbState = nullptr; // modifier state of our keyboard, sent along with keys
    std::uint32_t lastEventTime = 0;

    std::map<zwlr_foreign_toplevel_handle_v1*, Toplevel> toplevels;
    WindowId nextId = 1;
    unsigned long activations = 0;

    std::thread dispatcher;
    int wake[2] = {-1, -1};
    std::atomic<bool> stopping{false};
    std::atomic<bool> lost{false};

    ~Impl() {
        if (dispatcher.joinable()) {
            stopping.store(true);
            const char byte = 1;
            [[maybe_unused]] const ssize_t ignored = write(wake[1], &byte, 1);
            dispatcher.join();
        }
        for (int fd : wake) {
            if (fd >= 0) {
                close(fd);
            }
        }
        for (auto& entry : toplevels) {
            zwlr_foreign_toplevel_handle_v1_destroy(entry.first);
        }
        if (keyboard != nullptr) {
            zwp_virtual_keyboard_v1_destroy(keyboard);
        }
        if (pointer != nullptr) {
            zwlr_virtual_pointer_v1_destroy(pointer);
        }
        if (pointerManager != nullptr) {
            zwlr_virtual_pointer_manager_v1_destroy(pointerManager);
        }
        if (keyboardManager != nullptr) {
            zwp_virtual_keyboard_manager_v1_destroy(keyboardManager);
        }
        if (toplevelManager != nullptr) {
            zwlr_foreign_toplevel_manager_v1_destroy(toplevelManager);
        }
        if (output != nullptr) {
            wl_output_destroy(output);
        }
        if (seat != nullptr) {
            wl_seat_destroy(seat);
        }
        if (registry != nullptr) {
            wl_registry_destroy(registry);
        }
        if (display != nullptr) {
            wl_display_flush(display);
            wl_display_disconnect(display);
        }
        xkb_state_unref(xkbState);
        xkb_keymap_unref(xkbKeymap);
        xkb_context_unref(xkbContext);
    }

    bool usable() const { return !lost.load(); }

    // With the mutex held: every event the compositor sent before now is handled.
    bool roundtrip() {
        if (!usable() || wl_display_roundtrip(display) < 0) {
            markLost();
            return false;
        }
        return true;
    }

    void markLost() {
        if (!lost.exchange(true)) {
            debugOutput("Wayland: the connection to the compositor is lost\n");
        }
    }

    // Reads the socket whenever the compositor writes, so the window list stays current.
    void dispatchLoop() {
        pollfd fds[2] = {{wl_display_get_fd(display), POLLIN, 0}, {wake[0], POLLIN, 0}};
        while (!stopping.load()) {
            {
                std::lock_guard<std::mutex> lock(mutex);
                while (wl_display_prepare_read(display) != 0) {
                    if (wl_display_dispatch_pending(display) < 0) {
                        markLost();
                        return;
                    }
                }
                wl_display_flush(display);
            }
            fds[0].revents = 0;
            fds[1].revents = 0;
            const int ready = poll(fds, 2, -1);
            if (ready > 0 && (fds[0].revents & (POLLIN | POLLERR | POLLHUP)) != 0) {
                if (wl_display_read_events(display) < 0) {
                    markLost();
                    return;
                }
            } else {
                wl_display_cancel_read(display);
            }
            std::lock_guard<std::mutex> lock(mutex);
            if (wl_display_dispatch_pending(display) < 0) {
                markLost();
                return;
            }
        }
    }

    Toplevel* find(WindowId id) {
        for (auto& entry : toplevels) {
            if (entry.second.id == id) {
                return &entry.second;
            }
        }
        return nullptr;
    }

    WindowId activeId() const {
        for (const auto& entry : toplevels) {
            if (entry.second.activated) {
                return entry.second.id;
            }
        }
        return 0;
    }

    int playKeyRecords(const KeyRecord* records, int count) {
        if (count <= 0 || records == nullptr || keyboard == nullptr || !usable()) {
            return 0;
        }
        // Every key is resolved first: a chord is sent whole or not at all, so no
        // modifier is ever left held down.
        std::vector<std::uint32_t> codes;
        for (int i = 0; i < count; ++i) {
            const auto found = keycodes.find(keysymOfVirtualKey(records[i].vk));
            if (found == keycodes.end()) {
                debugOutput("Wayland: no key for virtual-key code " +
                            std::to_string(records[i].vk) + ", keystroke not sent\n");
                return 0;
            }
            codes.push_back(found->second);
        }
        for (int i = 0; i < count; ++i) {
            const bool press = (records[i].flags & kKeyEventKeyUp) == 0;
            const std::uint32_t code = codes[static_cast<std::size_t>(i)];
            // Distinct, rising times: equal times read as auto-repeat to some toolkits.
            lastEventTime = std::max(nowMilliseconds(), lastEventTime + 1);
            zwp_virtual_keyboard_v1_key(keyboard, lastEventTime, code,
                                        press ? WL_KEYBOARD_KEY_STATE_PRESSED
                                              : WL_KEYBOARD_KEY_STATE_RELEASED);
            xkb_state_update_key(xkbState, code + 8, press ? XKB_KEY_DOWN : XKB_KEY_UP);
            sendModifiers();
        }
        return roundtrip() ? count : 0;
    }

    void sendModifiers() {
        zwp_virtual_keyboard_v1_modifiers(
            keyboard, xkb_state_serialize_mods(xkbState, XKB_STATE_MODS_DEPRESSED),
            xkb_state_serialize_mods(xkbState, XKB_STATE_MODS_LATCHED),
            xkb_state_serialize_mods(xkbState, XKB_STATE_MODS_LOCKED),
            xkb_state_serialize_layout(xkbState, XKB_STATE_LAYOUT_EFFECTIVE));
    }

    void pointerFrame() {
        zwlr_virtual_pointer_v1_frame(pointer);
        wl_display_flush(display);
    }

    // --- Listeners ---------------------------------------------------------------------

    static void onGlobal(void* data, wl_registry* registry, std::uint32_t name,
                         const char* interface, std::uint32_t version) {
        auto* self = static_cast<Impl*>(data);
        const std::string which = interface;
        if (which == wl_seat_interface.name && self->seat == nullptr) {
            self->seat = static_cast<wl_seat*>(
                wl_registry_bind(registry, name, &wl_seat_interface, std::min(version, 1u)));
        } else if (which == wl_output_interface.name && self->output == nullptr) {
            self->output = static_cast<wl_output*>(
                wl_registry_bind(registry, name, &wl_output_interface, std::min(version, 2u)));
            wl_output_add_listener(self->output, &kOutputListener, self);
        } else if (which == zwlr_foreign_toplevel_manager_v1_interface.name) {
            self->toplevelManager = static_cast<zwlr_foreign_toplevel_manager_v1*>(
                wl_registry_bind(registry, name, &zwlr_foreign_toplevel_manager_v1_interface,
                                 std::min(version, 3u)));
            zwlr_foreign_toplevel_manager_v1_add_listener(self->toplevelManager, &kManagerListener,
                                                          self);
        } else if (which == zwp_virtual_keyboard_manager_v1_interface.name) {
            self->keyboardManager = static_cast<zwp_virtual_keyboard_manager_v1*>(
                wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
        } else if (which == zwlr_virtual_pointer_manager_v1_interface.name) {
            self->pointerManager = static_cast<zwlr_virtual_pointer_manager_v1*>(wl_registry_bind(
                registry, name, &zwlr_virtual_pointer_manager_v1_interface, std::min(version, 2u)));
        }
    }
    static void onGlobalRemove(void*, wl_registry*, std::uint32_t) {}
    static constexpr wl_registry_listener kRegistryListener = {onGlobal, onGlobalRemove};

    static void onOutputGeometry(void*, wl_output*, std::int32_t, std::int32_t, std::int32_t,
                                 std::int32_t, std::int32_t, const char*, const char*,
                                 std::int32_t) {}
    static void onOutputMode(void* data, wl_output*, std::uint32_t flags, std::int32_t width,
                             std::int32_t height, std::int32_t) {
        if ((flags & WL_OUTPUT_MODE_CURRENT) != 0) {
            auto* self = static_cast<Impl*>(data);
            self->outputWidth = width;
            self->outputHeight = height;
        }
    }
    static void onOutputDone(void*, wl_output*) {}
    static void onOutputScale(void*, wl_output*, std::int32_t) {}
    static void onOutputText(void*, wl_output*, const char*) {}
    static constexpr wl_output_listener kOutputListener = {
        onOutputGeometry, onOutputMode, onOutputDone, onOutputScale, onOutputText, onOutputText};

    static void onToplevel(void* data, zwlr_foreign_toplevel_manager_v1*,
                           zwlr_foreign_toplevel_handle_v1* handle) {
        auto* self = static_cast<Impl*>(data);
        Toplevel& toplevel = self->toplevels[handle];
        toplevel.id = self->nextId++;
        toplevel.handle = handle;
        zwlr_foreign_toplevel_handle_v1_add_listener(handle, &kHandleListener, self);
    }
    static void onManagerFinished(void* data, zwlr_foreign_toplevel_manager_v1* manager) {
        auto* self = static_cast<Impl*>(data);
        if (self->toplevelManager == manager) {
            zwlr_foreign_toplevel_manager_v1_destroy(manager);
            self->toplevelManager = nullptr;
        }
    }
    static constexpr zwlr_foreign_toplevel_manager_v1_listener kManagerListener = {
        onToplevel, onManagerFinished};

    static Toplevel* toplevelOf(void* data, zwlr_foreign_toplevel_handle_v1* handle) {
        auto* self = static_cast<Impl*>(data);
        const auto found = self->toplevels.find(handle);
        return found != self->toplevels.end() ? &found->second : nullptr;
    }
    static void onTitle(void* data, zwlr_foreign_toplevel_handle_v1* handle, const char* title) {
        if (Toplevel* t = toplevelOf(data, handle)) {
            t->title = title != nullptr ? title : "";
        }
    }
    static void onAppId(void* data, zwlr_foreign_toplevel_handle_v1* handle, const char* appId) {
        if (Toplevel* t = toplevelOf(data, handle)) {
            t->appId = appId != nullptr ? appId : "";
        }
    }
    static void onOutputEnter(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}
    static void onOutputLeave(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}
    static void onState(void* data, zwlr_foreign_toplevel_handle_v1* handle, wl_array* state) {
        Toplevel* t = toplevelOf(data, handle);
        if (t == nullptr) {
            return;
        }
        const bool wasActivated = t->activated;
        t->activated = false;
        t->minimized = false;
        const auto* items = static_cast<const std::uint32_t*>(state->data);
        for (std::size_t i = 0; i < state->size / sizeof(std::uint32_t); ++i) {
            if (items[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED) {
                t->activated = true;
            } else if (items[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_MINIMIZED) {
                t->minimized = true;
            }
        }
        if (t->activated && !wasActivated) {
            t->lastActivation = ++static_cast<Impl*>(data)->activations;
        }
    }
    static void onDone(void*, zwlr_foreign_toplevel_handle_v1*) {}
    static void onClosed(void* data, zwlr_foreign_toplevel_handle_v1* handle) {
        auto* self = static_cast<Impl*>(data);
        for (auto& entry : self->toplevels) {
            if (entry.second.parent == handle) {
                entry.second.parent = nullptr;
            }
        }
        self->toplevels.erase(handle);
        zwlr_foreign_toplevel_handle_v1_destroy(handle);
    }
    static void onParent(void* data, zwlr_foreign_toplevel_handle_v1* handle,
                         zwlr_foreign_toplevel_handle_v1* parent) {
        if (Toplevel* t = toplevelOf(data, handle)) {
            t->parent = parent;
        }
    }
    static constexpr zwlr_foreign_toplevel_handle_v1_listener kHandleListener = {
        onTitle, onAppId, onOutputEnter, onOutputLeave, onState, onDone, onClosed, onParent};

    // --- Setting up --------------------------------------------------------------------

    bool createKeyboard() {
        const VirtualKeymap keymap = buildVirtualKeymap();
        if (keymap.text.empty()) {
            debugOutput("Wayland: the keymap for the virtual keyboard does not compile\n");
            return false;
        }
        xkbContext = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
        xkbKeymap = xkbContext ? xkb_keymap_new_from_string(xkbContext, keymap.text.c_str(),
                                                            XKB_KEYMAP_FORMAT_TEXT_V1,
                                                            XKB_KEYMAP_COMPILE_NO_FLAGS)
                               : nullptr;
        xkbState = xkbKeymap ? xkb_state_new(xkbKeymap) : nullptr;
        const int fd = xkbState ? keymapFile(keymap.text) : -1;
        if (fd < 0) {
            return false;
        }
        keyboard = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(keyboardManager, seat);
        zwp_virtual_keyboard_v1_keymap(keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd,
                                       static_cast<std::uint32_t>(keymap.text.size() + 1));
        close(fd);
        // An empty modifier state makes the compositor adopt our keymap for the focused
        // client now rather than with the first real key.
        sendModifiers();
        keycodes = keymap.keycode;
        return true;
    }
};

std::unique_ptr<WaylandDesktop> WaylandDesktop::open(const char* displayName, std::string& whyNot) {
    wl_display* display = wl_display_connect(displayName);
    if (display == nullptr) {
        whyNot = "no Wayland compositor answers";
        return nullptr;
    }
    auto impl = std::make_unique<Impl>();
    impl->display = display;
    impl->registry = wl_display_get_registry(display);
    wl_registry_add_listener(impl->registry, &Impl::kRegistryListener, impl.get());
    // Globals, then the first toplevels and the output's mode.
    if (wl_display_roundtrip(display) < 0 || wl_display_roundtrip(display) < 0) {
        whyNot = "the Wayland compositor closed the connection";
        return nullptr;
    }
    if (impl->toplevelManager == nullptr && impl->keyboardManager == nullptr) {
        whyNot = "the compositor offers none of the wlroots protocols "
                 "(foreign toplevels, virtual keyboard, virtual pointer)";
        return nullptr;
    }
    if (impl->seat != nullptr && impl->keyboardManager != nullptr && !impl->createKeyboard()) {
        debugOutput("Wayland: no virtual keyboard; keystrokes are not sent\n");
    }
    if (impl->seat != nullptr && impl->pointerManager != nullptr) {
        impl->pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(impl->pointerManager,
                                                                               impl->seat);
    }
    if (wl_display_roundtrip(display) < 0) {
        whyNot = "the Wayland compositor refused the virtual input devices";
        return nullptr;
    }
    if (impl->keyboard != nullptr) {
        std::this_thread::sleep_for(kKeymapSettle);
        if (wl_display_roundtrip(display) < 0) {
            whyNot = "the Wayland compositor refused the virtual keyboard";
            return nullptr;
        }
    }
    if (pipe2(impl->wake, O_CLOEXEC) != 0) {
        whyNot = std::string("cannot create a pipe: ") + std::strerror(errno);
        return nullptr;
    }
    Impl* raw = impl.get();
    impl->dispatcher = std::thread([raw] { raw->dispatchLoop(); });
    return std::unique_ptr<WaylandDesktop>(new WaylandDesktop(std::move(impl)));
}

WaylandDesktop::WaylandDesktop(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {
    // A button still held when the program ends would keep dragging in the session.
    registerHeldInputOwner(this, [this] { leftButton(false); });
}

WaylandDesktop::~WaylandDesktop() {
    unregisterHeldInputOwner(this);
}

std::vector<std::string> WaylandDesktop::limitations() const {
    std::vector<std::string> result;
    if (impl_->toplevelManager == nullptr) {
        result.push_back(
            "this desktop does not tell which application is in front: the default entry is used");
        result.push_back("this desktop does not list its windows: Osmerak's task list stays empty");
    }
    if (impl_->keyboard == nullptr) {
        result.push_back("this desktop offers no virtual keyboard: keystrokes are not sent");
    }
    if (impl_->pointer == nullptr) {
        result.push_back("this desktop offers no virtual pointer: the mouse is not moved");
    }
    return result;
}

WindowId WaylandDesktop::foregroundWindow() {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->roundtrip();
    return impl_->activeId();
}

std::string WaylandDesktop::windowClass(WindowId window) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    const Toplevel* t = impl_->find(window);
    return t != nullptr ? t->appId : std::string();
}

int WaylandDesktop::sendKeyRecords(const KeyRecord* records, int count) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->playKeyRecords(records, count);
}

bool WaylandDesktop::canSendKey(int vk) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->keyboard != nullptr && impl_->keycodes.count(keysymOfVirtualKey(vk)) != 0;
}

void WaylandDesktop::postKeyToForeground(int vk) {
    if (vk <= 0 || vk > 0xFFFF) {
        return;
    }
    const KeyRecordList list = buildKeystroke(static_cast<std::uint16_t>(vk), 0, 0);
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->playKeyRecords(list.records.data(), list.count);
}

void WaylandDesktop::moveMouseRelative(int dx, int dy) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    if (impl_->pointer == nullptr || !impl_->usable()) {
        return;
    }
    zwlr_virtual_pointer_v1_motion(impl_->pointer, nowMilliseconds(), wl_fixed_from_int(dx),
                                   wl_fixed_from_int(dy));
    impl_->pointerFrame();
}

void WaylandDesktop::moveMouseAbsolute(int nx, int ny) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    if (impl_->pointer == nullptr || !impl_->usable()) {
        return;
    }
    // 0..65535 spans the screen; values past either end stop at its edge.
    const auto x = static_cast<std::uint32_t>(std::clamp(nx, 0, 65535));
    const auto y = static_cast<std::uint32_t>(std::clamp(ny, 0, 65535));
    zwlr_virtual_pointer_v1_motion_absolute(impl_->pointer, nowMilliseconds(), x, y, 65536, 65536);
    impl_->pointerFrame();
}

void WaylandDesktop::leftButton(bool down) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    if (impl_->pointer == nullptr || !impl_->usable()) {
        return;
    }
    zwlr_virtual_pointer_v1_button(impl_->pointer, nowMilliseconds(), BTN_LEFT,
                                   down ? WL_POINTER_BUTTON_STATE_PRESSED
                                        : WL_POINTER_BUTTON_STATE_RELEASED);
    impl_->pointerFrame();
    if (down)
        noteInputDown(this, BTN_LEFT);
    else
        noteInputUp(this, BTN_LEFT);
}

bool WaylandDesktop::activateWindow(WindowId window) {
    {
        std::lock_guard<std::mutex> lock(impl_->mutex);
        impl_->roundtrip();
        Toplevel* t = impl_->find(window);
        if (t == nullptr || impl_->seat == nullptr || !impl_->usable()) {
            return false;
        }
        if (t->minimized) {
            zwlr_foreign_toplevel_handle_v1_unset_minimized(t->handle);
        }
        zwlr_foreign_toplevel_handle_v1_activate(t->handle, impl_->seat);
        wl_display_flush(impl_->display);
    }
    // The compositor acts asynchronously: wait for the window to become the active one,
    // without holding the connection meanwhile, so typing right after reaches it.
    const auto deadline = std::chrono::steady_clock::now() + kActivationWait;
    while (true) {
        {
            std::lock_guard<std::mutex> lock(impl_->mutex);
            if (!impl_->roundtrip()) {
                return false;
            }
            const Toplevel* t = impl_->find(window);
            if (t == nullptr) {
                return false;
            }
            if (t->activated) {
                return true;
            }
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

std::vector<TopLevelWindow> WaylandDesktop::topLevelWindows() {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->roundtrip();
    std::vector<const Toplevel*> order;
    for (const auto& entry : impl_->toplevels) {
        order.push_back(&entry.second);
    }
    // The protocol tells no stacking order: the active window first, then the others by
    // when they were last active, never-active ones last in the order they appeared.
    std::sort(order.begin(), order.end(), [](const Toplevel* a, const Toplevel* b) {
        if (a->activated != b->activated) {
            return a->activated;
        }
        if (a->lastActivation != b->lastActivation) {
            return a->lastActivation > b->lastActivation;
        }
        return a->id < b->id;
    });
    std::vector<TopLevelWindow> result;
    for (const Toplevel* t : order) {
        TopLevelWindow info;
        info.id = t->id;
        info.title = t->title;
        info.className = t->appId;
        info.minimized = t->minimized;
        info.visible = true;
        info.owned = t->parent != nullptr;
        result.push_back(std::move(info));
    }
    return result;
}

OpenResult WaylandDesktop::openFile(const std::string& path) {
    return openFileDetached(path);
}

int WaylandDesktop::screenWidth() {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->outputWidth;
}

int WaylandDesktop::screenHeight() {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->outputHeight;
}

} // namespace zorvexa
