// The panes of the frame loop on screen: each pane is a PaneWidget inside one of the
// shell's windows. Images may come from any thread: they are converted to a QImage copy
// on the calling thread and handed to the window thread by a queued call. A pane that
// still has a few images on their way drops new ones instead of letting a queue grow.
// On X11 the panes can instead get native windows that the calling thread draws into
// itself (X11ShmPresenter): the same pixels, without the window thread's work for every
// picture.
#pragma once

#include <array>
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include <QImage>
#include <QObject>
#include <QPointer>

#include "main/motion/OpenCvEmbeddedWindow.h"
#include "main/shell/ui/PaneWidget.h"
#include "platform/x11/X11ShmPresenter.h"

namespace zorvexa {

// A copy of an OpenCV image as a QImage (8-bit grey, BGR or BGRA; other depths are
// scaled to 8 bits). Null for an empty image.
QImage toQImage(const cv::Mat& image);
// The same picture written into `buffer` when that is unshared and of the right size and
// format (else `buffer` is replaced); returns a shallow copy of it.
QImage toQImage(const cv::Mat& image, QImage& buffer);

class QtPaneHost : public QObject, public PaneHost {
  public:
    explicit QtPaneHost(QObject* parent = nullptr);
    ~QtPaneHost() override;

    // The widget that holds the panes of a host window handle (window thread, before the
    // panes are created).
    void registerHost(WindowHandle handle, QWidget* paneParent);
    // Panes created from now on are drawn straight into their own X windows where the
    // session, the server and the screen allow it (X11 with MIT-SHM, 24- or 32-bit colour,
    // no scaling of the screen); elsewhere through Qt as before.
    void paintDirectlyWhereAble(bool on) { direct_ = on; }

    void createPane(const std::string& name, WindowHandle host, int x, int y, int width, int height,
                    bool hiddenUntilFirstImage) override;
    void showImage(const std::string& name, const cv::Mat& image) override;
    void destroyPane(const std::string& name) override;
    // Panes drawn directly put their pictures at once and send them at the batch's end.
    void beginBatch() override;
    void endBatch() override;

    // Window thread only.
    PaneWidget* pane(const std::string& name) const;
    void setMouseHandler(const std::string& name, PaneWidget::MouseHandler handler);

    static constexpr int kMaxImagesInFlight = 3;

  private:
    struct Slot {
        QPointer<PaneWidget> widget; // window thread only
        int width = 0, height = 0;
        std::shared_ptr<X11ShmPresenter> direct; // set before any image comes
        std::atomic<bool> showPosted{false};
        std::atomic<int> inFlight{0};
        // Pictures written by the producing thread and shared with the window thread; one
        // nobody else holds any more is written again instead of allocating a new one.
        std::mutex buffersMutex;
        std::array<QImage, kMaxImagesInFlight + 2> buffers;
    };
    void paintDirectly(Slot& slot);
    static void showDirectly(Slot& slot, const cv::Mat& image, bool flush = true);

    bool direct_ = false;
    std::map<WindowHandle, QPointer<QWidget>> hosts_;
    // Filled on the window thread before any frame loop starts; workers only look up.
    std::map<std::string, std::shared_ptr<Slot>> slots_;
};

} // namespace zorvexa
