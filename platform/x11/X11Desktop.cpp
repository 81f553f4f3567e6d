#include "platform/x11/X11Desktop.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "platform/DebugSink.h"
#include "platform/ProcessLauncher.h"
#include "platform/x11/X11Errors.h"
#include "platform/x11/X11Input.h"

namespace zorvexa {

namespace {

// --- Properties -----------------------------------------------------------------------

// Format-32 items arrive as arrays of long, whatever the size of long.
std::vector<unsigned long> readCardinals(Display* display, Window window, Atom property, Atom type,
                                         long maxItems = 1 << 16) {
    std::vector<unsigned long> result;
    Atom actualType = 0;
    int actualFormat = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, window, property, 0, maxItems, False, type,
                                          &actualType, &actualFormat, &count, &remaining, &data);
    if (status == Success && data != nullptr && actualFormat == 32 &&
        (type == AnyPropertyType || actualType == type)) {
        const auto* items = reinterpret_cast<const unsigned long*>(data);
        result.assign(items, items + count);
    }
    if (data != nullptr) {
        XFree(data);
    }
    return result;
}

bool readString(Display* display, Window window, Atom property, Atom type, std::string& out) {
    Atom actualType = 0;
    int actualFormat = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, window, property, 0, 1 << 16, False, type,
                                          &actualType, &actualFormat, &count, &remaining, &data);
    bool ok = false;
    if (status == Success && data != nullptr && actualFormat == 8 && actualType == type) {
        out.assign(reinterpret_cast<const char*>(data), count);
        ok = true;
    }
    if (data != nullptr) {
        XFree(data);
    }
    return ok;
}

std::string latin1ToUtf8(const std::string& text) {
    std::string out;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

bool contains(const std::vector<unsigned long>& items, Atom atom) {
    return std::find(items.begin(), items.end(), atom) != items.end();
}

constexpr long kIconStateValue = 3; // IconicState of WM_STATE
constexpr long kNormalStateValue = 1;
constexpr auto kActivationWait = std::chrono::milliseconds(500);

} // namespace

struct X11Desktop::Impl {
    std::mutex mutex;
    Display* display = nullptr;
    Window root = 0;
    int screen = 0;
    std::atomic<int> errors{0};

    Atom netActiveWindow = 0;
    Atom netClientListStacking = 0;
    Atom netClientList = 0;
    Atom netWmName = 0;
    Atom utf8String = 0;
    Atom netWmState = 0;
    Atom netWmStateHidden = 0;
    Atom netWmWindowType = 0;
    Atom netWmWindowTypeDesktop = 0;
    Atom netWmWindowTypeDock = 0;
    Atom netWmIcon = 0;
    Atom wmState = 0;
    Atom netSupportingWmCheck = 0;

    std::unique_ptr<X11Input> input; // keyboard and pointer, on a connection of its own

    // The window manager's active window and its class, as of the last change of
    // _NET_ACTIVE_WINDOW this connection was told of (PropertyNotify on the root window):
    // the frame loop asks for them on every frame, and a round trip each time would be
    // two requests the server has to answer 30 times a second. A window's class is set
    // before it is mapped and a window that goes away stops being the active one, so
    // the pair stays right until the property changes.
    bool activeKnown = false;
    Window knownActive = 0;
    bool classKnown = false;
    std::string knownClass;

    ~Impl() {
        if (display == nullptr) {
            return;
        }
        input.reset();
        unregisterDisplay(display);
        XCloseDisplay(display);
    }

    void internAtoms() {
        const char* names[] = {"_NET_ACTIVE_WINDOW",
                               "_NET_CLIENT_LIST_STACKING",
                               "_NET_CLIENT_LIST",
                               "_NET_WM_NAME",
                               "UTF8_STRING",
                               "_NET_WM_STATE",
                               "_NET_WM_STATE_HIDDEN",
                               "_NET_WM_WINDOW_TYPE",
                               "_NET_WM_WINDOW_TYPE_DESKTOP",
                               "_NET_WM_WINDOW_TYPE_DOCK",
                               "_NET_WM_ICON",
                               "WM_STATE",
                               "_NET_SUPPORTING_WM_CHECK"};
        Atom* targets[] = {&netActiveWindow,
                           &netClientListStacking,
                           &netClientList,
                           &netWmName,
                           &utf8String,
                           &netWmState,
                           &netWmStateHidden,
                           &netWmWindowType,
                           &netWmWindowTypeDesktop,
                           &netWmWindowTypeDock,
                           &netWmIcon,
                           &wmState,
                           &netSupportingWmCheck};
        constexpr int count = static_cast<int>(sizeof names / sizeof names[0]);
        Atom atoms[count] = {};
        XInternAtoms(display, const_cast<char**>(names), count, False, atoms);
        for (int i = 0; i < count; ++i) {
            *targets[i] = atoms[i];
        }
    }

    // Empties the event queue (keymap change notices reach every client).
    void drainEvents() {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MappingNotify) {
                XRefreshKeyboardMapping(&event.xmapping);
            } else if (event.type == PropertyNotify && event.xproperty.window == root &&
                       event.xproperty.atom == netActiveWindow) {
                activeKnown = false;
                classKnown = false;
            }
        }
    }

    bool windowExists(Window window) {
        XWindowAttributes attributes;
        const int before = errors.load();
        const Status ok = XGetWindowAttributes(display, window, &attributes);
        return ok != 0 && errors.load() == before;
    }

    bool hasWindowManager() {
        return !readCardinals(display, root, netSupportingWmCheck, XA_WINDOW, 1).empty();
    }

    Window activeWindow() {
        drainEvents();
        if (activeKnown) {
            return knownActive;
        }
        const auto items = readCardinals(display, root, netActiveWindow, XA_WINDOW, 1);
        if (!items.empty() && items[0] != 0) {
            activeKnown = true;
            knownActive = static_cast<Window>(items[0]);
            classKnown = false;
            return knownActive;
        }
        if (hasWindowManager()) {
            return 0;
        }
        // Without a window manager: the focus window or its nearest ancestor that
        // carries a class.
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(display, &focus, &revert);
        for (Window w = focus; w > PointerRoot && w != root;) {
            XClassHint hint{};
            if (XGetClassHint(display, w, &hint) != 0) {
                XFree(hint.res_name);
                XFree(hint.res_class);
                return w;
            }
            Window rootReturn = 0;
            Window parent = 0;
            Window* children = nullptr;
            unsigned int childCount = 0;
            if (XQueryTree(display, w, &rootReturn, &parent, &children, &childCount) == 0) {
                break;
            }
            if (children != nullptr) {
                XFree(children);
            }
            w = parent;
        }
        return 0;
    }

    std::string classOf(Window window) {
        const bool active = window != 0 && activeKnown && window == knownActive;
        if (active && classKnown) {
            return knownClass;
        }
        XClassHint hint{};
        if (window == 0 || XGetClassHint(display, window, &hint) == 0) {
            return {};
        }
        std::string result = hint.res_class != nullptr ? hint.res_class : "";
        if (active) {
            classKnown = true;
            knownClass = result;
        }
        if (hint.res_name != nullptr) {
            XFree(hint.res_name);
        }
        if (hint.res_class != nullptr) {
            XFree(hint.res_class);
        }
        return result;
    }

    std::string titleOf(Window window) {
        std::string title;
        if (readString(display, window, netWmName, utf8String, title)) {
            return title;
        }
        XTextProperty property{};
        if (XGetWMName(display, window, &property) == 0 || property.value == nullptr) {
            return {};
        }
        if (property.encoding == XA_STRING) {
            title = latin1ToUtf8(
                std::string(reinterpret_cast<const char*>(property.value), property.nitems));
        } else {
            char** list = nullptr;
            int count = 0;
            if (Xutf8TextPropertyToTextList(display, &property, &list, &count) >= Success &&
                list != nullptr) {
                for (int i = 0; i < count; ++i) {
                    title += list[i];
                }
                XFreeStringList(list);
            } else {
                title.assign(reinterpret_cast<const char*>(property.value), property.nitems);
            }
        }
        XFree(property.value);
        return title;
    }

    WindowIcon iconOf(Window window) {
        WindowIcon icon;
        // Up to a 1024 x 1024 icon set; larger sets are read as far as that.
        const auto data = readCardinals(display, window, netWmIcon, XA_CARDINAL, 1L << 20);
        std::size_t best = data.size();
        long bestDistance = 0;
        long bestArea = 0;
        for (std::size_t i = 0; i + 2 <= data.size();) {
            const unsigned long w = data[i];
            const unsigned long h = data[i + 1];
            if (w == 0 || h == 0 || w > 4096 || h > 4096 || w * h > data.size() - i - 2) {
                break;
            }
            const long distance =
                std::labs(static_cast<long>(w) - 16) + std::labs(static_cast<long>(h) - 16);
            const long area = static_cast<long>(w * h);
            // Closest to 16 x 16; between equally close sizes the larger one scales better.
            if (best == data.size() || distance < bestDistance ||
                (distance == bestDistance && area > bestArea)) {
                best = i;
                bestDistance = distance;
                bestArea = area;
            }
            i += 2 + w * h;
        }
        if (best == data.size()) {
            return icon;
        }
        icon.width = static_cast<int>(data[best]);
        icon.height = static_cast<int>(data[best + 1]);
        icon.argb.reserve(static_cast<std::size_t>(icon.width) * icon.height);
        for (std::size_t p = 0; p < static_cast<std::size_t>(icon.width) * icon.height; ++p) {
            icon.argb.push_back(static_cast<std::uint32_t>(data[best + 2 + p] & 0xFFFFFFFFUL));
        }
        return icon;
    }
};

std::unique_ptr<X11Desktop> X11Desktop::open(const char* displayName) {
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
    impl->input = X11Input::open(displayName);
    if (!impl->input) {
        return nullptr;
    }
    impl->internAtoms();
    // Changes of the active window arrive as events (see activeWindow).
    XSelectInput(display, impl->root, PropertyChangeMask);
    return std::unique_ptr<X11Desktop>(new X11Desktop(std::move(impl)));
}

X11Desktop::X11Desktop(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

X11Desktop::~X11Desktop() = default;

int X11Desktop::errorCount() const {
    return impl_->errors.load() + impl_->input->errorCount();
}

std::vector<std::string> X11Desktop::limitations() const {
    return impl_->input->limitations();
}

WindowId X11Desktop::foregroundWindow() {
    // Asked every frame: a convenient moment to put back spare keycodes that are due,
    // when no chord is being typed.
    impl_->input->restoreSparesIfIdle();
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->activeWindow();
}

std::string X11Desktop::windowClass(WindowId window) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->classOf(static_cast<Window>(window));
}

int X11Desktop::sendKeyRecords(const KeyRecord* records, int count) {
    return impl_->input->sendKeyRecords(records, count);
}

void X11Desktop::postKeyToForeground(int vk) {
    if (vk <= 0 || vk > 0xFFFF) {
        return;
    }
    const KeyRecordList list = buildKeystroke(static_cast<std::uint16_t>(vk), 0, 0);
    impl_->input->sendKeyRecords(list.records.data(), list.count);
}

bool X11Desktop::canSendKey(int vk) {
    return impl_->input->canSendKey(vk);
}

void X11Desktop::moveMouseRelative(int dx, int dy) {
    impl_->input->moveRelative(dx, dy);
}

void X11Desktop::moveMouseAbsolute(int nx, int ny) {
    impl_->input->moveAbsolute(nx, ny);
}

void X11Desktop::leftButton(bool down) {
    impl_->input->leftButton(down);
}

void X11Desktop::releaseHeldInput() {
    impl_->input->releaseHeld();
}

bool X11Desktop::requestActivation(WindowId id) {
    const auto window = static_cast<Window>(id);
    {
        std::lock_guard<std::mutex> lock(impl_->mutex);
        Display* display = impl_->display;
        if (window == 0 || !impl_->windowExists(window)) {
            return false;
        }
        if (!impl_->hasWindowManager()) {
            // Nobody manages the windows: map, raise and focus it ourselves.
            const int before = impl_->errors.load();
            XMapRaised(display, window);
            XSync(display, False);
            XSetInputFocus(display, window, RevertToParent, CurrentTime);
            XSync(display, False);
            return impl_->errors.load() == before;
        }
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.serial = 0;
        event.xclient.send_event = True;
        event.xclient.display = display;
        event.xclient.window = window;
        event.xclient.message_type = impl_->netActiveWindow;
        event.xclient.format = 32;
        event.xclient.data.l[0] = 2; // source indication: a pager or task switcher
        event.xclient.data.l[1] = CurrentTime;
        event.xclient.data.l[2] = 0;
        XSendEvent(display, impl_->root, False, SubstructureRedirectMask | SubstructureNotifyMask,
                   &event);
        XRaiseWindow(display, window);
        XSync(display, False);
    }
    return true;
}

bool X11Desktop::activateWindow(WindowId id) {
    const auto window = static_cast<Window>(id);
    if (!requestActivation(id)) {
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(impl_->mutex);
        if (!impl_->hasWindowManager()) {
            return true; // focused directly, no one to wait for
        }
    }
    // The window manager acts asynchronously: wait for the active window to change,
    // without holding the connection meanwhile.
    const auto deadline = std::chrono::steady_clock::now() + kActivationWait;
    while (true) {
        {
            std::lock_guard<std::mutex> lock(impl_->mutex);
            if (impl_->activeWindow() == window) {
                return true;
            }
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

std::vector<TopLevelWindow> X11Desktop::topLevelWindows() {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    Impl& x = *impl_;
    Display* display = x.display;

    auto ids = readCardinals(display, x.root, x.netClientListStacking, XA_WINDOW);
    if (ids.empty()) {
        ids = readCardinals(display, x.root, x.netClientList, XA_WINDOW);
    }
    // The stacking list runs bottom to top; callers want the front-most first.
    std::reverse(ids.begin(), ids.end());

    std::vector<TopLevelWindow> result;
    for (const unsigned long id : ids) {
        const auto window = static_cast<Window>(id);
        const int errorsBefore = x.errors.load();
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, window, &attributes) == 0 ||
            x.errors.load() != errorsBefore) {
            continue; // closed meanwhile
        }
        TopLevelWindow info;
        info.id = id;
        info.title = x.titleOf(window);
        info.className = x.classOf(window);

        const auto wmState = readCardinals(display, window, x.wmState, x.wmState, 2);
        const long state = wmState.empty() ? 0 : static_cast<long>(wmState[0]);
        const auto netState = readCardinals(display, window, x.netWmState, XA_ATOM);
        info.minimized = state == kIconStateValue || contains(netState, x.netWmStateHidden);
        info.visible =
            attributes.map_state == IsViewable || state == kNormalStateValue || info.minimized;

        Window owner = 0;
        info.owned = XGetTransientForHint(display, window, &owner) != 0 && owner != 0;
        const auto types = readCardinals(display, window, x.netWmWindowType, XA_ATOM);
        info.desktopOrDock =
            contains(types, x.netWmWindowTypeDesktop) || contains(types, x.netWmWindowTypeDock);
        info.icon = x.iconOf(window);
        if (x.errors.load() != errorsBefore) {
            continue; // vanished while being read
        }
        result.push_back(std::move(info));
    }
    return result;
}

OpenResult X11Desktop::openFile(const std::string& path) {
    return openFileDetached(path);
}

int X11Desktop::screenWidth() {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return DisplayWidth(impl_->display, impl_->screen);
}

int X11Desktop::screenHeight() {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return DisplayHeight(impl_->display, impl_->screen);
}

} // namespace zorvexa
