#include "platform/x11/X11ShmPresenter.h"

#include <atomic>

#include <sys/ipc.h>
#include <sys/shm.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include "platform/DebugSink.h"
#include "platform/x11/BgrxPixels.h"
#include "platform/x11/X11Errors.h"

namespace zorvexa {

struct X11ShmPresenter::Connection {
    Display* display = nullptr;
    ::Window window = 0;
    GC gc = nullptr;
    int completionEvent = 0;
    XImage* images[2] = {nullptr, nullptr};
    XShmSegmentInfo segments[2] = {};
    std::atomic<int> errors{0};

    ~Connection() {
        if (!display)
            return;
        for (int k = 0; k < 2; ++k) {
            if (segments[k].shmaddr) {
                XShmDetach(display, &segments[k]);
                shmdt(segments[k].shmaddr);
            }
            if (images[k]) {
                images[k]->data = nullptr; // the segment, not Xlib's to free
                XDestroyImage(images[k]);
            }
        }
        if (gc)
            XFreeGC(display, gc);
        XSync(display, False);
        unregisterDisplay(display);
        XCloseDisplay(display);
    }
};

std::unique_ptr<X11ShmPresenter>
X11ShmPresenter::create(const char* displayName, unsigned long window, int width, int height) {
    if (width <= 0 || height <= 0 || window == 0)
        return nullptr;
    auto x = std::make_unique<Connection>();
    x->display = XOpenDisplay(displayName);
    if (!x->display)
        return nullptr;
    registerDisplay(x->display, &x->errors);
    x->window = static_cast<::Window>(window);
    Bool pixmaps = False;
    int major = 0, minor = 0;
    XWindowAttributes attributes;
    if (!XShmQueryVersion(x->display, &major, &minor, &pixmaps) ||
        !XGetWindowAttributes(x->display, x->window, &attributes))
        return nullptr;
    // The pictures are BGRA bytes: the visual must hold them as they are.
    const Visual* visual = attributes.visual;
    if ((attributes.depth != 24 && attributes.depth != 32) || visual->red_mask != 0xff0000 ||
        visual->green_mask != 0xff00 || visual->blue_mask != 0xff ||
        ImageByteOrder(x->display) != LSBFirst)
        return nullptr;
    for (int k = 0; k < 2; ++k) {
        XShmSegmentInfo& segment = x->segments[k];
        XImage* image = XShmCreateImage(
            x->display, attributes.visual, static_cast<unsigned>(attributes.depth), ZPixmap,
            nullptr, &segment, static_cast<unsigned>(width), static_cast<unsigned>(height));
        if (!image)
            return nullptr;
        x->images[k] = image;
        if (image->bits_per_pixel != 32)
            return nullptr;
        segment.shmid = shmget(
            IPC_PRIVATE, static_cast<size_t>(image->bytes_per_line) * static_cast<size_t>(height),
            IPC_CREAT | 0600);
        if (segment.shmid < 0)
            return nullptr;
        void* memory = shmat(segment.shmid, nullptr, 0);
        if (memory == reinterpret_cast<void*>(-1)) {
            shmctl(segment.shmid, IPC_RMID, nullptr);
            return nullptr;
        }
        segment.shmaddr = image->data = static_cast<char*>(memory);
        segment.readOnly = True;
        const bool attached = XShmAttach(x->display, &segment);
        XSync(x->display, False);
        // Freed by the system once both sides have let go, even if the program dies.
        shmctl(segment.shmid, IPC_RMID, nullptr);
        if (!attached || x->errors.load() != 0) {
            shmdt(segment.shmaddr);
            segment.shmaddr = nullptr;
            return nullptr;
        }
    }
    x->gc = XCreateGC(x->display, x->window, 0, nullptr);
    x->completionEvent = XShmGetEventBase(x->display) + ShmCompletion;
    XSync(x->display, False);
    if (x->errors.load() != 0)
        return nullptr;
    return std::unique_ptr<X11ShmPresenter>(new X11ShmPresenter(std::move(x), width, height));
}

X11ShmPresenter::X11ShmPresenter(std::unique_ptr<Connection> connection, int width, int height)
    : x_(std::move(connection)), width_(width), height_(height) {}

X11ShmPresenter::~X11ShmPresenter() = default;

void X11ShmPresenter::drainCompletions() {
    while (XPending(x_->display) > 0) {
        XEvent event;
        XNextEvent(x_->display, &event);
        if (event.type != x_->completionEvent)
            continue;
        const auto& done = reinterpret_cast<const XShmCompletionEvent&>(event);
        for (int k = 0; k < 2; ++k)
            if (done.shmseg == x_->segments[k].shmseg && unread_[k] > 0)
                --unread_[k];
    }
}

void X11ShmPresenter::put(int buffer, bool flush) {
    XShmPutImage(x_->display, x_->window, x_->gc, x_->images[buffer], 0, 0, 0, 0,
                 static_cast<unsigned>(width_), static_cast<unsigned>(height_), True);
    ++unread_[buffer];
    if (flush)
        XFlush(x_->display);
}

void X11ShmPresenter::flush() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!closed_)
        XFlush(x_->display);
}

bool X11ShmPresenter::present(const cv::Mat& picture, bool flush) {
    if ((picture.type() != CV_8UC3 && picture.type() != CV_8UC4) || picture.cols != width_ ||
        picture.rows != height_)
        return false;
    std::lock_guard<std::mutex> lock(mutex_);
    if (closed_)
        return false;
    const int next = last_ == 0 ? 1 : 0;
    if (unread_[next] > 0)
        drainCompletions();
    if (unread_[next] > 0) {
        // Still not read a frame later: wait for the server rather than draw under it.
        XSync(x_->display, False);
        drainCompletions();
        unread_[next] = 0;
    }
    XImage* image = x_->images[next];
    cv::Mat target(height_, width_, CV_8UC4, image->data,
                   static_cast<size_t>(image->bytes_per_line));
    if (picture.channels() == 3)
        bgrToBgrx(picture, target);
    else
        picture.copyTo(target);
    put(next, flush);
    last_ = next;
    return true;
}

void X11ShmPresenter::repaint() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!closed_ && last_ >= 0)
        put(last_, true);
}

void X11ShmPresenter::close() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (closed_)
        return;
    closed_ = true;
    XSync(x_->display, False);
    if (x_->errors.load() != 0)
        debugOutput("X11 panes: the server reported errors for a pane's pictures\n");
}

} // namespace zorvexa
