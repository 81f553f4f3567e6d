// A small X client for the backend's integration test. It opens a window with a known
// WM_CLASS and title and writes what it receives to standard output, one line each:
//   ready <window>                      mapped (and "dialog <window>" for --transient)
//   key press|release <keysym> <state>  keysym of level 0, modifier state in hex
//                                       (with --produced: the keysym the key produces
//                                       under that state, group and level included)
//   motion <x_root> <y_root>
//   button press|release <n> <x_root> <y_root>
// Options: --class NAME --title TEXT [--transient] [--icon] [--produced]
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

void setTitle(Display* display, Window window, const std::string& title) {
    const Atom netWmName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    XChangeProperty(display, window, netWmName, utf8, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title.data()),
                    static_cast<int>(title.size()));
}

// Two icon sizes with distinct colours: 32 x 32 red, then 16 x 16 green.
void setIcon(Display* display, Window window) {
    std::vector<long> data;
    for (const auto& [size, colour] :
         {std::pair<long, long>{32, 0xFFFF0000L}, std::pair<long, long>{16, 0xFF00FF00L}}) {
        data.push_back(size);
        data.push_back(size);
        data.insert(data.end(), static_cast<std::size_t>(size * size), colour);
    }
    const Atom icon = XInternAtom(display, "_NET_WM_ICON", False);
    XChangeProperty(display, window, icon, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(data.data()),
                    static_cast<int>(data.size()));
}

Window makeWindow(Display* display, const std::string& className, const std::string& title,
                  unsigned width, unsigned height) {
    const int screen = DefaultScreen(display);
    const Window window =
        XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, width, height, 0,
                            BlackPixel(display, screen), WhitePixel(display, screen));
    std::string instance = className;
    XClassHint hint;
    hint.res_name = instance.data();
    std::string klass = className;
    hint.res_class = klass.data();
    XSetClassHint(display, window, &hint);
    XStoreName(display, window, title.c_str());
    setTitle(display, window, title);
    XWMHints wmHints{};
    wmHints.flags = InputHint | StateHint;
    wmHints.input = True;
    wmHints.initial_state = NormalState;
    XSetWMHints(display, window, &wmHints);
    XSelectInput(display, window,
                 KeyPressMask | KeyReleaseMask | PointerMotionMask | ButtonPressMask |
                     ButtonReleaseMask | StructureNotifyMask);
    return window;
}

} // namespace

int main(int argc, char** argv) {
    std::string className = "ZvProbe";
    std::string title = "probe";
    bool transient = false;
    bool icon = false;
    bool produced = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--class" && i + 1 < argc) {
            className = argv[++i];
        } else if (arg == "--title" && i + 1 < argc) {
            title = argv[++i];
        } else if (arg == "--transient") {
            transient = true;
        } else if (arg == "--icon") {
            icon = true;
        } else if (arg == "--produced") {
            produced = true;
        }
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "probe: no display\n");
        return 1;
    }
    const Window main = makeWindow(display, className, title, 1200, 900);
    if (icon) {
        setIcon(display, main);
    }
    XMapWindow(display, main);
    Window dialog = 0;
    if (transient) {
        dialog = makeWindow(display, className, title + " dialog", 200, 100);
        XSetTransientForHint(display, dialog, main);
        XMapWindow(display, dialog);
    }
    XFlush(display);

    while (true) {
        XEvent event;
        XNextEvent(display, &event);
        switch (event.type) {
        case MapNotify:
            if (event.xmap.window == main) {
                std::printf("ready %lu\n", main);
            } else if (event.xmap.window == dialog) {
                std::printf("dialog %lu\n", dialog);
            }
            break;
        case MappingNotify:
            XRefreshKeyboardMapping(&event.xmapping);
            break;
        case KeyPress:
        case KeyRelease: {
            KeySym sym = XLookupKeysym(&event.xkey, 0);
            if (produced) {
                unsigned consumed = 0;
                XkbLookupKeySym(display, static_cast<KeyCode>(event.xkey.keycode), event.xkey.state,
                                &consumed, &sym);
            }
            const char* name = XKeysymToString(sym);
            std::printf("key %s %s %x\n", event.type == KeyPress ? "press" : "release",
                        name != nullptr ? name : "NoSymbol", event.xkey.state);
            break;
        }
        case MotionNotify:
            std::printf("motion %d %d\n", event.xmotion.x_root, event.xmotion.y_root);
            break;
        case ButtonPress:
        case ButtonRelease:
            std::printf("button %s %u %d %d\n", event.type == ButtonPress ? "press" : "release",
                        event.xbutton.button, event.xbutton.x_root, event.xbutton.y_root);
            break;
        default:
            break;
        }
        std::fflush(stdout);
    }
}
