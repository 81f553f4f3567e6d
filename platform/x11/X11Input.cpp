#include "platform/x11/X11Input.h"

#include <algorithm>
#include <atomic>
#include <bitset>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <X11/XKBlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xrandr.h>

#include "common/VirtualKeys.h"
#include "platform/DebugSink.h"
#include "platform/HeldInput.h"
#include "platform/x11/X11Errors.h"

namespace zorvexa {

namespace {

// Two strokes within the same server millisecond read as auto-repeat to some toolkits.
constexpr auto kKeystrokeGap = std::chrono::milliseconds(15);
// How long a spare keycode keeps its keysym after the chord: clients look the keymap up
// when they handle the key event, which can be well after the server has sent it.
constexpr auto kSpareGrace = std::chrono::milliseconds(500);
// Button codes in the held-input record, apart from keycodes (8..255).
constexpr int kButtonCodeBase = 1000;

struct XkbMap {
    XkbDescPtr desc = nullptr;
    explicit XkbMap(Display* display)
        : desc(XkbGetMap(display, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd)) {}
    ~XkbMap() {
        if (desc != nullptr) {
            XkbFreeKeyboard(desc, 0, True);
        }
    }
    XkbMap(const XkbMap&) = delete;
    XkbMap& operator=(const XkbMap&) = delete;
};

// The group of `key` that is in effect while `group` is the active one.
int effectiveGroup(XkbDescPtr xkb, int key, int group) {
    const int groups = XkbKeyNumGroups(xkb, key);
    if (groups <= 0) {
        return -1;
    }
    if (group < groups) {
        return group;
    }
    const unsigned char info = XkbKeyGroupInfo(xkb, key);
    switch (XkbOutOfRangeGroupAction(info)) {
    case XkbRedirectIntoRange: {
        const int target = XkbOutOfRangeGroupNumber(info);
        return target < groups ? target : 0;
    }
    case XkbClampIntoRange:
        return groups - 1;
    default:
        return group % groups;
    }
}

// The shift level a key type gives under `mods`.
int levelOf(const XkbKeyTypeRec& type, unsigned mods) {
    const unsigned relevant = mods & type.mods.mask;
    for (int i = 0; i < type.map_count; ++i) {
        const XkbKTMapEntryRec& entry = type.map[i];
        if (entry.active && entry.mods.mask == relevant) {
            return entry.level;
        }
    }
    return 0;
}

// Where a keysym is in the keymap for one active group.
struct KeyPlace {
    KeyCode code = 0;
    int level = 0;
    const XkbKeyTypeRec* type = nullptr;
};

KeyPlace findKey(XkbDescPtr xkb, KeySym keysym, int group) {
    KeyPlace best;
    for (int key = xkb->min_key_code; key <= xkb->max_key_code; ++key) {
        const int g = effectiveGroup(xkb, key, group);
        if (g < 0) {
            continue;
        }
        const int width = XkbKeyGroupWidth(xkb, key, g);
        for (int level = 0; level < width; ++level) {
            if (XkbKeySymEntry(xkb, key, level, g) != keysym) {
                continue;
            }
            if (best.code == 0 || level < best.level) {
                best.code = static_cast<KeyCode>(key);
                best.level = level;
                best.type = XkbKeyKeyType(xkb, key, g);
            }
            break;
        }
        if (best.code != 0 && best.level == 0) {
            break;
        }
    }
    return best;
}

int bitCount(unsigned value) {
    return static_cast<int>(std::bitset<32>(value).count());
}

// Modifiers that select `level` of a key type, fewest first and Shift-free before
// others (so keypad digits come with Num Lock rather than Shift); false when no
// combination gives that level.
bool modifiersForLevel(const XkbKeyTypeRec& type, int level, unsigned& mods) {
    bool found = false;
    if (levelOf(type, 0) == level) {
        mods = 0;
        return true;
    }
    for (int i = 0; i < type.map_count; ++i) {
        const XkbKTMapEntryRec& entry = type.map[i];
        if (!entry.active || entry.level != level || levelOf(type, entry.mods.mask) != level) {
            continue;
        }
        const unsigned candidate = entry.mods.mask;
        const auto rank = [](unsigned m) { return bitCount(m) * 2 + ((m & ShiftMask) ? 1 : 0); };
        if (!found || rank(candidate) < rank(mods)) {
            mods = candidate;
            found = true;
        }
    }
    return found;
}

struct SpareBinding {
    KeyCode code = 0;
    std::chrono::steady_clock::time_point restoreAfter{};
};

} // namespace

struct X11Input::Impl {
    std::mutex mutex;
    Display* display = nullptr;
    Window root = 0;
    int screen = 0;
    bool hasXTest = false;
    bool hasXkb = false;
    bool hasRandr = false;
    std::atomic<int> errors{0};
    std::chrono::steady_clock::time_point lastKeystroke{};
    std::map<KeySym, SpareBinding> spares; // bound now, restored when due
    // The keymap as canSendKey last read it; read again after any mapping change.
    std::unique_ptr<XkbMap> checkedMap;

    ~Impl() {
        if (display == nullptr) {
            return;
        }
        // A program that ends right after its chord (Osmerak) must not take the key away
        // before the target has looked it up: wait out the grace period, unlocked.
        std::chrono::steady_clock::time_point due{};
        {
            std::lock_guard<std::mutex> lock(mutex);
            for (const auto& spare : spares) {
                due = std::max(due, spare.second.restoreAfter);
            }
        }
        if (due > std::chrono::steady_clock::now()) {
            std::this_thread::sleep_until(due);
        }
        {
            std::lock_guard<std::mutex> lock(mutex);
            releaseHeldLocked();
            restoreSpares(true);
        }
        unregisterHeldInputOwner(this);
        unregisterDisplay(display);
        XCloseDisplay(display);
    }

    void drainEvents() {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MappingNotify) {
                XRefreshKeyboardMapping(&event.xmapping);
                checkedMap.reset();
            }
        }
    }

    void releaseHeldLocked() {
        const std::vector<int> held = heldInputOf(this);
        if (held.empty()) {
            return;
        }
        for (const int code : held) {
            if (code >= kButtonCodeBase) {
                XTestFakeButtonEvent(display, static_cast<unsigned>(code - kButtonCodeBase), False,
                                     0);
            } else {
                XTestFakeKeyEvent(display, static_cast<unsigned>(code), False, 0);
            }
            noteInputUp(this, code);
        }
        XSync(display, False);
        debugOutput("X11: released " + std::to_string(held.size()) + " held key(s) or button(s)\n");
    }

    // Keycodes with no symbols in any group, from the top where servers leave codes unused.
    std::vector<KeyCode> freeKeycodes(XkbDescPtr xkb) const {
        std::vector<KeyCode> result;
        for (int key = xkb->max_key_code; key >= xkb->min_key_code; --key) {
            if (XkbKeyNumGroups(xkb, key) != 0) {
                continue;
            }
            const bool inUse = std::any_of(spares.begin(), spares.end(),
                                           [key](const auto& s) { return s.second.code == key; });
            if (!inUse) {
                result.push_back(static_cast<KeyCode>(key));
            }
        }
        return result;
    }

    void restoreSpares(bool all) {
        const auto now = std::chrono::steady_clock::now();
        bool changed = false;
        for (auto it = spares.begin(); it != spares.end();) {
            if (all || now >= it->second.restoreAfter) {
                KeySym none = NoSymbol;
                XChangeKeyboardMapping(display, it->second.code, 1, &none, 1);
                it = spares.erase(it);
                changed = true;
            } else {
                ++it;
            }
        }
        if (changed) {
            XSync(display, False);
        }
    }

    KeyCode bindSpare(XkbDescPtr xkb, KeySym keysym, std::vector<KeyCode>& free) {
        const auto bound = spares.find(keysym);
        if (bound != spares.end()) {
            return bound->second.code;
        }
        if (free.empty()) {
            if (free = freeKeycodes(xkb); free.empty()) {
                return 0;
            }
        }
        const KeyCode code = free.front();
        free.erase(free.begin());
        XChangeKeyboardMapping(display, code, 1, &keysym, 1);
        spares[keysym] = SpareBinding{code, {}};
        return code;
    }

    // Waits out the gap after the previous chord without holding the lock meanwhile.
    void waitForGap(std::unique_lock<std::mutex>& lock) {
        while (true) {
            const auto wait = lastKeystroke + kKeystrokeGap - std::chrono::steady_clock::now();
            if (wait <= std::chrono::steady_clock::duration::zero()) {
                return;
            }
            lock.unlock();
            std::this_thread::sleep_for(wait);
            lock.lock();
        }
    }

    int play(const KeyRecord* records, int count);
    bool canSend(KeySym keysym);
    void moveAbsolute(int nx, int ny);
};

int X11Input::Impl::play(const KeyRecord* records, int count) {
    std::vector<KeySym> keysyms(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        keysyms[static_cast<std::size_t>(i)] = keysymOfVirtualKey(records[i].vk);
        if (keysyms[static_cast<std::size_t>(i)] == 0) {
            debugOutput("X11: no keysym for virtual-key code " + std::to_string(records[i].vk) +
                        ", keystroke not sent\n");
            return 0;
        }
    }
    drainEvents();
    restoreSpares(false);
    XkbMap map(display);
    XkbStateRec state{};
    if (map.desc == nullptr || XkbGetState(display, XkbUseCoreKbd, &state) != Success) {
        debugOutput("X11: cannot read the keyboard map, keystroke not sent\n");
        return 0;
    }
    XkbDescPtr xkb = map.desc;

    // The group to type in: the active one if it has every key, otherwise the group
    // that has the most of them (a missing key goes on a spare keycode).
    int maxGroups = 1;
    for (int key = xkb->min_key_code; key <= xkb->max_key_code; ++key) {
        maxGroups = std::max(maxGroups, static_cast<int>(XkbKeyNumGroups(xkb, key)));
    }
    std::vector<int> order = {state.group};
    for (int g = 0; g < maxGroups; ++g) {
        if (g != state.group) {
            order.push_back(g);
        }
    }
    int group = state.group;
    std::vector<KeyPlace> places;
    int fewestMissing = count + 1;
    for (const int g : order) {
        std::vector<KeyPlace> found;
        int missing = 0;
        for (const KeySym keysym : keysyms) {
            found.push_back(findKey(xkb, keysym, g));
            missing += found.back().code == 0 ? 1 : 0;
        }
        if (missing < fewestMissing) {
            fewestMissing = missing;
            group = g;
            places = std::move(found);
        }
        if (missing == 0) {
            break;
        }
    }

    // The level's modifiers of the first key that is no modifier key itself.
    unsigned lockMask = 0;
    unsigned lockValues = 0;
    for (std::size_t i = 0; i < places.size(); ++i) {
        if (IsModifierKey(keysyms[i]) || places[i].code == 0 || places[i].type == nullptr) {
            continue;
        }
        const XkbKeyTypeRec& type = *places[i].type;
        unsigned mods = 0;
        if (levelOf(type, state.mods) != places[i].level &&
            modifiersForLevel(type, places[i].level, mods)) {
            lockMask = type.mods.mask;
            lockValues = mods;
        }
        break;
    }

    std::vector<KeyCode> free;
    std::vector<KeyCode> codes;
    for (std::size_t i = 0; i < places.size(); ++i) {
        KeyCode code = places[i].code;
        if (code == 0 && IsModifierKey(keysyms[i])) {
            // On a spare keycode it would not be in the modifier map: no modifier at all.
            debugOutput("X11: modifier key " + std::to_string(records[i].vk) +
                        " is not in the keymap, keystroke not sent\n");
            restoreSpares(false);
            return 0;
        }
        if (code == 0) {
            code = bindSpare(xkb, keysyms[i], free);
        }
        if (code == 0) {
            debugOutput("X11: no free keycode for virtual-key code " +
                        std::to_string(records[i].vk) + ", keystroke not sent\n");
            restoreSpares(false);
            return 0;
        }
        codes.push_back(code);
    }

    if (group != state.group) {
        XkbLockGroup(display, XkbUseCoreKbd, static_cast<unsigned>(group));
    }
    if (lockMask != 0) {
        XkbLockModifiers(display, XkbUseCoreKbd, lockMask, lockValues);
    }
    int sent = 0;
    std::vector<KeyCode> pressed;
    for (int i = 0; i < count; ++i) {
        const bool press = (records[i].flags & kKeyEventKeyUp) == 0;
        const KeyCode code = codes[static_cast<std::size_t>(i)];
        if (press && XTestFakeKeyEvent(display, code, True, 0) == 0) {
            break; // what is held is released below
        }
        if (press) {
            noteInputDown(this, code);
            pressed.push_back(code);
        } else {
            XTestFakeKeyEvent(display, code, False, 0);
            noteInputUp(this, code);
            pressed.erase(std::remove(pressed.begin(), pressed.end(), code), pressed.end());
        }
        ++sent;
    }
    // Whatever a failed event left down goes up, last pressed first.
    for (auto it = pressed.rbegin(); it != pressed.rend(); ++it) {
        XTestFakeKeyEvent(display, *it, False, 0);
        noteInputUp(this, *it);
    }
    if (lockMask != 0) {
        XkbLockModifiers(display, XkbUseCoreKbd, lockMask, state.locked_mods & lockMask);
    }
    if (group != state.group) {
        XkbLockGroup(display, XkbUseCoreKbd, state.locked_group);
    }
    XSync(display, False);
    lastKeystroke = std::chrono::steady_clock::now();
    for (auto& spare : spares) {
        if (std::find(codes.begin(), codes.end(), spare.second.code) != codes.end()) {
            spare.second.restoreAfter = lastKeystroke + kSpareGrace;
        }
    }
    if (sent != count) {
        debugOutput("X11: only " + std::to_string(sent) + " of " + std::to_string(count) +
                    " key events went out\n");
    }
    return sent;
}

bool X11Input::Impl::canSend(KeySym keysym) {
    if (keysym == 0 || !hasXTest) {
        return false;
    }
    if (spares.count(keysym) != 0) {
        return true;
    }
    // A configuration asks for many keys at once: one read of the keymap serves them all.
    drainEvents();
    if (!checkedMap) {
        checkedMap = std::make_unique<XkbMap>(display);
    }
    XkbDescPtr xkb = checkedMap->desc;
    if (xkb == nullptr) {
        checkedMap.reset();
        return false;
    }
    for (int g = 0; g < XkbNumKbdGroups; ++g) {
        if (findKey(xkb, keysym, g).code != 0) {
            return true;
        }
    }
    return !IsModifierKey(keysym) && !freeKeycodes(xkb).empty();
}

void X11Input::Impl::moveAbsolute(int nx, int ny) {
    long long left = 0;
    long long top = 0;
    long long width = DisplayWidth(display, screen);
    long long height = DisplayHeight(display, screen);
    int monitorCount = 0;
    XRRMonitorInfo* monitors =
        hasRandr ? XRRGetMonitors(display, root, True, &monitorCount) : nullptr;
    if (monitors != nullptr && monitorCount > 0) {
        Window rootReturn = 0;
        Window child = 0;
        int px = 0;
        int py = 0;
        int wx = 0;
        int wy = 0;
        unsigned mask = 0;
        XQueryPointer(display, root, &rootReturn, &child, &px, &py, &wx, &wy, &mask);
        const XRRMonitorInfo* chosen = nullptr;
        for (int i = 0; i < monitorCount; ++i) {
            const XRRMonitorInfo& m = monitors[i];
            if (px >= m.x && px < m.x + m.width && py >= m.y && py < m.y + m.height) {
                chosen = &m;
                break;
            }
            if (chosen == nullptr && m.primary) {
                chosen = &m;
            }
        }
        if (chosen == nullptr) {
            chosen = &monitors[0];
        }
        if (chosen->width > 0 && chosen->height > 0) {
            left = chosen->x;
            top = chosen->y;
            width = chosen->width;
            height = chosen->height;
        }
    }
    if (monitors != nullptr) {
        XRRFreeMonitors(monitors);
    }
    // 0..65535 spans the monitor; values past either end stop at its edge.
    const long long x =
        left + std::clamp(static_cast<long long>(nx) * width / 65536, 0LL, width - 1);
    const long long y =
        top + std::clamp(static_cast<long long>(ny) * height / 65536, 0LL, height - 1);
    XTestFakeMotionEvent(display, screen, static_cast<int>(x), static_cast<int>(y), 0);
    XSync(display, False);
}

std::unique_ptr<X11Input> X11Input::open(const char* displayName) {
    XInitThreads();
    Display* display = XOpenDisplay(displayName);
    if (display == nullptr) {
        return nullptr;
    }
    auto impl = std::make_unique<Impl>();
    impl->display = display;
    impl->screen = DefaultScreen(display);
    impl->root = RootWindow(display, impl->screen);
    registerDisplay(display, &impl->errors);
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    impl->hasXTest = XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor) != 0;
    if (!impl->hasXTest) {
        debugOutput("X11: the server lacks the XTest extension; no synthetic input\n");
    }
    int opcode = 0;
    major = XkbMajorVersion;
    minor = XkbMinorVersion;
    impl->hasXkb = XkbQueryExtension(display, &opcode, &eventBase, &errorBase, &major, &minor) != 0;
    if (!impl->hasXkb) {
        debugOutput("X11: the server lacks the XKB extension; no keystrokes\n");
    }
    impl->hasRandr = XRRQueryExtension(display, &eventBase, &errorBase) != 0;
    Impl* raw = impl.get();
    registerHeldInputOwner(raw, [raw] {
        std::lock_guard<std::mutex> lock(raw->mutex);
        raw->releaseHeldLocked();
    });
    return std::unique_ptr<X11Input>(new X11Input(std::move(impl)));
}

X11Input::X11Input(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

std::vector<std::string> X11Input::limitations() const {
    std::vector<std::string> limits;
    if (!impl_->hasXTest) {
        limits.push_back("this X server has no XTest extension: no keys or pointer moves are "
                         "sent (ZORVEXA_DESKTOP=uinput sends them through /dev/uinput)");
    } else if (!impl_->hasXkb) {
        limits.push_back("this X server has no XKB extension: no keys are sent");
    }
    return limits;
}

X11Input::~X11Input() = default;

int X11Input::sendKeyRecords(const KeyRecord* records, int count) {
    if (count <= 0 || records == nullptr) {
        return 0;
    }
    if (!impl_->hasXTest || !impl_->hasXkb) {
        debugOutput("X11: no XTest or XKB extension, keystroke not sent\n");
        return 0;
    }
    std::unique_lock<std::mutex> lock(impl_->mutex);
    impl_->waitForGap(lock);
    return impl_->play(records, count);
}

bool X11Input::canSendKey(int vk) {
    if (!impl_->hasXkb) {
        return false;
    }
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->canSend(keysymOfVirtualKey(vk));
}

void X11Input::moveRelative(int dx, int dy) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    if (!impl_->hasXTest) {
        return;
    }
    XTestFakeRelativeMotionEvent(impl_->display, dx, dy, 0);
    XSync(impl_->display, False);
}

void X11Input::moveAbsolute(int nx, int ny) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    if (!impl_->hasXTest) {
        return;
    }
    impl_->moveAbsolute(nx, ny);
}

void X11Input::leftButton(bool down) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    if (!impl_->hasXTest) {
        return;
    }
    XTestFakeButtonEvent(impl_->display, 1, down ? True : False, 0);
    if (down) {
        noteInputDown(impl_.get(), kButtonCodeBase + 1);
    } else {
        noteInputUp(impl_.get(), kButtonCodeBase + 1);
    }
    XSync(impl_->display, False);
}

void X11Input::releaseHeld() {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->releaseHeldLocked();
}

void X11Input::restoreSparesIfIdle() {
    std::unique_lock<std::mutex> lock(impl_->mutex, std::try_to_lock);
    if (lock.owns_lock() && !impl_->spares.empty()) {
        impl_->restoreSpares(false);
    }
}

int X11Input::errorCount() const {
    return impl_->errors.load();
}

} // namespace zorvexa
