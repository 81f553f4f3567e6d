#include "main/motion/OpenCvEmbeddedWindow.h"

namespace zorvexa {

OpenCvEmbeddedWindow::OpenCvEmbeddedWindow(std::string name, WindowHandle hostWindow, int x, int y,
                                           int width, int height, bool hideUntilFirstImage,
                                           PaneHost* host)
    : name_(std::move(name)), x_(x), y_(y), width_(width), height_(height),
      pendingShow_(hideUntilFirstImage ? 1 : 0), host_(host) {
    if (host_)
        host_->createPane(name_, hostWindow, x_, y_, width_, height_, hideUntilFirstImage);
}

OpenCvEmbeddedWindow::~OpenCvEmbeddedWindow() {
    if (host_)
        host_->destroyPane(name_);
}

void OpenCvEmbeddedWindow::show(const cv::Mat& image) {
    if (image.empty())
        return;
    if (host_)
        host_->showImage(name_, image);
    pendingShow_.store(0);
}

} // namespace zorvexa
