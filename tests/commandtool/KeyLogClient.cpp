// A small X client for the desktop tests: one top-level window with a given class and
// title that logs every key press it receives, one line each:
//   ready <window id in decimal>
//   press <keysym name> <modifier state in decimal>
// Usage: osmerak_keylog_client CLASS TITLE LOGFILE [r,g,b]
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <sys/select.h>
#include <unistd.h>

#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Every line is flushed as it is written, so ending at once loses nothing.
void onSignal(int) {
    _exit(0);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s CLASS TITLE LOGFILE [r,g,b]\n", argv[0]);
        return 2;
    }
    const std::string className = argv[1];
    const std::string title = argv[2];
    std::FILE* log = std::fopen(argv[3], "w");
    if (log == nullptr) {
        return 2;
    }
    unsigned long colour = 0x4a6fa5;
    if (argc > 4) {
        int r = 0, g = 0, b = 0;
        if (std::sscanf(argv[4], "%d,%d,%d", &r, &g, &b) == 3) {
            colour = (static_cast<unsigned long>(r) << 16) | (static_cast<unsigned long>(g) << 8) |
                     static_cast<unsigned long>(b);
        }
    }
    std::signal(SIGTERM, onSignal);
    std::signal(SIGINT, onSignal);

    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "no display\n");
        return 1;
    }
    const int screen = DefaultScreen(display);
    const Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 40, 40, 640,
                                              480, 0, BlackPixel(display, screen), colour);

    std::string instance = className;
    for (char& c : instance) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    XClassHint classHint;
    classHint.res_name = instance.data();
    classHint.res_class = const_cast<char*>(className.c_str());
    XSetClassHint(display, window, &classHint);
    XStoreName(display, window, title.c_str());
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False), utf8, 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(title.c_str()),
                    static_cast<int>(title.size()));
    XWMHints hints{};
    hints.flags = InputHint | StateHint;
    hints.input = True;
    hints.initial_state = NormalState;
    XSetWMHints(display, window, &hints);

    XSelectInput(display, window, KeyPressMask | ExposureMask | StructureNotifyMask);
    XMapWindow(display, window);
    XFlush(display);

    const GC gc = XCreateGC(display, window, 0, nullptr);
    XSetForeground(display, gc, WhitePixel(display, screen));
    bool announced = false;
    int waitsSinceMap = 0;
    const int fd = ConnectionNumber(display);
    while (true) {
        // A window manager that is still starting can drop the map request; ask again
        // every half second until the window is shown.
        if (!announced && ++waitsSinceMap > 5) {
            waitsSinceMap = 0;
            XMapWindow(display, window);
            XFlush(display);
        }
        if (XPending(display) == 0) {
            fd_set readable;
            FD_ZERO(&readable);
            FD_SET(fd, &readable);
            timeval wait{0, 100000};
            select(fd + 1, &readable, nullptr, nullptr, &wait);
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify && !announced) {
            announced = true;
            std::fprintf(log, "ready %lu\n", static_cast<unsigned long>(window));
            std::fflush(log);
        } else if (event.type == Expose && event.xexpose.count == 0) {
            const std::string text = title + "  (" + className + ")";
            XDrawString(display, window, gc, 20, 30, text.c_str(), static_cast<int>(text.size()));
        } else if (event.type == KeyPress) {
            char buffer[16];
            KeySym keysym = NoSymbol;
            XLookupString(&event.xkey, buffer, sizeof buffer, &keysym, nullptr);
            const char* name = XKeysymToString(keysym);
            std::fprintf(log, "press %s %u\n", name != nullptr ? name : "none", event.xkey.state);
            std::fflush(log);
        }
    }
}
