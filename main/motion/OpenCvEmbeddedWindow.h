// A video pane at a fixed place inside one of the shell's windows. The pipeline's
// threads hand it images; the shell's PaneHost puts them on screen. The pane stays
// hidden until its first image when asked to, and showing an image never moves the
// keyboard focus.
#pragma once

#include <atomic>
#include <memory>
#include <string>

#include <opencv2/core.hpp>

#include "main/shell/AppState.h"

namespace zorvexa {

// Implemented by the shell's user interface. Every call may come from any thread:
// showImage copies the image and hands it to the user-interface thread.
class PaneHost {
  public:
    virtual ~PaneHost() = default;
    virtual void createPane(const std::string& name, WindowHandle host, int x, int y, int width,
                            int height, bool hiddenUntilFirstImage) = 0;
    virtual void showImage(const std::string& name, const cv::Mat& image) = 0;
    virtual void destroyPane(const std::string& name) = 0;
    // Between these two calls, pictures shown on the calling thread may be held back and
    // sent together when the batch ends: the display server is then woken once a frame
    // rather than once a pane. Not nested.
    virtual void beginBatch() {}
    virtual void endBatch() {}
};

// A batch of PaneHost pictures for the enclosing block (nothing without a host).
class PaneBatch {
  public:
    explicit PaneBatch(PaneHost* host) : host_(host) {
        if (host_)
            host_->beginBatch();
    }
    ~PaneBatch() { end(); }
    // Sends the batch now rather than at the end of the block.
    void end() {
        if (host_)
            host_->endBatch();
        host_ = nullptr;
    }
    PaneBatch(const PaneBatch&) = delete;
    PaneBatch& operator=(const PaneBatch&) = delete;

  private:
    PaneHost* host_;
};

class OpenCvEmbeddedWindow {
  public:
    // `host` may be null (no user interface): images are then dropped.
    OpenCvEmbeddedWindow(std::string name, WindowHandle hostWindow, int x, int y, int width,
                         int height, bool hideUntilFirstImage, PaneHost* host);
    ~OpenCvEmbeddedWindow();
    OpenCvEmbeddedWindow(const OpenCvEmbeddedWindow&) = delete;
    OpenCvEmbeddedWindow& operator=(const OpenCvEmbeddedWindow&) = delete;

    void show(const cv::Mat& image);

    const std::string& name() const { return name_; }
    int x() const { return x_; }
    int y() const { return y_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // 1 while the pane waits hidden for its first image.
    int pendingShow() const { return pendingShow_.load(); }

  private:
    std::string name_;
    int x_, y_, width_, height_;
    std::atomic<int> pendingShow_;
    PaneHost* host_;
};

} // namespace zorvexa
