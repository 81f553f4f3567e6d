// Puts a pane's pictures straight into its own X window through shared memory, from the
// thread that makes them, on a connection of its own. Painting a pane through Qt costs a
// queued call to the window thread, a round trip to the server before each paint (Qt waits
// until the server has read its shared image before drawing into it again) and the flush
// after; this costs one request. Two images take turns, so a picture is never written
// while the server may still be reading it.
#pragma once

#include <memory>
#include <mutex>

#include <opencv2/core.hpp>

namespace zorvexa {

class X11ShmPresenter {
  public:
    // For the X window `window` (w x h pixels) on the display named `displayName`; null when
    // the server lacks MIT-SHM, the window's visual is not 24- or 32-bit BGRX, or the shared
    // memory cannot be had.
    static std::unique_ptr<X11ShmPresenter> create(const char* displayName, unsigned long window,
                                                   int width, int height);
    ~X11ShmPresenter();
    X11ShmPresenter(const X11ShmPresenter&) = delete;
    X11ShmPresenter& operator=(const X11ShmPresenter&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }

    // Shows an 8-bit BGR or BGRA picture of the window's size (BGRA as it is, alpha and
    // all); false, with nothing shown, for any other. Any thread. Without `flush` the
    // request waits in the connection's buffer until flush() (or the next present).
    bool present(const cv::Mat& picture, bool flush = true);
    // Sends what the connection holds. Any thread.
    void flush();
    // Puts the last picture again (the window was exposed), if there is one. Any thread.
    void repaint();
    // Stops for good and waits until the server has read every picture sent, so that the
    // window may then be destroyed. Any thread.
    void close();

  private:
    struct Connection;
    X11ShmPresenter(std::unique_ptr<Connection> connection, int width, int height);
    void drainCompletions();
    void put(int buffer, bool flush);

    std::unique_ptr<Connection> x_;
    const int width_;
    const int height_;
    std::mutex mutex_;
    bool closed_ = false;
    int last_ = -1;
    int unread_[2] = {0, 0}; // puts of each image the server has not yet reported done
};

} // namespace zorvexa
