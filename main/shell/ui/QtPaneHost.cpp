#include "main/shell/ui/QtPaneHost.h"

#include <algorithm>
#include <vector>

#include <QGuiApplication>
#include <QPainter>
#include <QThread>

#include <X11/Xlib.h>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include "platform/DebugSink.h"

namespace zorvexa {

namespace {

// The direct panes whose pictures wait for the end of the calling thread's batch.
struct PaneBatchState {
    bool open = false;
    std::vector<std::shared_ptr<X11ShmPresenter>> held;
};
thread_local PaneBatchState tBatch;

} // namespace

QImage toQImage(const cv::Mat& image) {
    if (image.empty())
        return {};
    cv::Mat eight = image;
    if (image.depth() != CV_8U)
        image.convertTo(eight, CV_8U);
    switch (eight.channels()) {
    case 1:
        return QImage(eight.data, eight.cols, eight.rows, static_cast<qsizetype>(eight.step),
                      QImage::Format_Grayscale8)
            .copy();
    case 3: {
        // Straight into the format the window's backing store holds (BGRA in memory with an
        // opaque alpha), so painting is a plain copy instead of a conversion on the window
        // thread.
        QImage converted(eight.cols, eight.rows, QImage::Format_RGB32);
        cv::Mat target(eight.rows, eight.cols, CV_8UC4, converted.bits(),
                       static_cast<size_t>(converted.bytesPerLine()));
        cv::cvtColor(eight, target, cv::COLOR_BGR2BGRA);
        return converted;
    }
    case 4: // BGRA in memory is ARGB32 on a little-endian machine
        return QImage(eight.data, eight.cols, eight.rows, static_cast<qsizetype>(eight.step),
                      QImage::Format_ARGB32)
            .copy();
    default:
        return {};
    }
}

QImage toQImage(const cv::Mat& image, QImage& buffer) {
    if (image.empty() || image.depth() != CV_8U || image.channels() != 3) {
        buffer = toQImage(image);
        return buffer;
    }
    // bits() below copies nothing: the buffer is reused only when no one else holds it.
    if (buffer.isNull() || !buffer.isDetached() || buffer.width() != image.cols ||
        buffer.height() != image.rows || buffer.format() != QImage::Format_RGB32)
        buffer = QImage(image.cols, image.rows, QImage::Format_RGB32);
    cv::Mat target(image.rows, image.cols, CV_8UC4, buffer.bits(),
                   static_cast<size_t>(buffer.bytesPerLine()));
    cv::cvtColor(image, target, cv::COLOR_BGR2BGRA);
    return buffer;
}

QtPaneHost::QtPaneHost(QObject* parent) : QObject(parent) {}

QtPaneHost::~QtPaneHost() {
    for (auto& [name, slot] : slots_) {
        if (slot->direct)
            slot->direct->close();
        delete slot->widget.data();
    }
}

void QtPaneHost::registerHost(WindowHandle handle, QWidget* paneParent) {
    hosts_[handle] = paneParent;
}

void QtPaneHost::createPane(const std::string& name, WindowHandle host, int x, int y, int width,
                            int height, bool hiddenUntilFirstImage) {
    auto found = hosts_.find(host);
    QWidget* parent = found != hosts_.end() ? found->second.data() : nullptr;
    if (!parent) {
        // Without a registered host the pane would become a window of its own.
        return;
    }
    auto slot = std::make_shared<Slot>();
    slot->widget = new PaneWidget(parent);
    slot->widget->setObjectName(QString::fromStdString(name));
    slot->widget->setGeometry(x, y, width, height);
    slot->widget->setVisible(!hiddenUntilFirstImage);
    slot->width = width;
    slot->height = height;
    if (direct_)
        paintDirectly(*slot);
    slots_[name] = slot;
}

void QtPaneHost::paintDirectly(Slot& slot) {
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    PaneWidget* widget = slot.widget.data();
    if (!x11 || !x11->display() || QGuiApplication::platformName() != "xcb" ||
        widget->devicePixelRatioF() != 1.0)
        return;
    widget->setAttribute(Qt::WA_NativeWindow);
    auto presenter = X11ShmPresenter::create(DisplayString(x11->display()), widget->winId(),
                                             slot.width, slot.height);
    if (!presenter) {
        debugOutput("panes: painted through Qt (no shared-memory drawing on this display)\n");
        return;
    }
    slot.direct = std::move(presenter);
    // Until the first picture the pane shows what an empty pane shows.
    showDirectly(slot, cv::Mat());
    widget->paintDirectly([direct = slot.direct] { direct->repaint(); });
}

// The picture as the pane's own painting would show it: the common case, a BGR picture of
// the pane's size, goes in as it is; any other is first painted as PaneWidget paints it.
void QtPaneHost::showDirectly(Slot& slot, const cv::Mat& image, bool flush) {
    if (!image.empty() && image.type() == CV_8UC3 && image.cols == slot.width &&
        image.rows == slot.height) {
        slot.direct->present(image, flush);
        return;
    }
    QImage canvas(slot.width, slot.height, QImage::Format_RGB32);
    {
        QPainter painter(&canvas);
        PaneWidget::paint(painter, canvas.size(), toQImage(image));
    }
    slot.direct->present(cv::Mat(canvas.height(), canvas.width(), CV_8UC4, canvas.bits(),
                                 static_cast<size_t>(canvas.bytesPerLine())),
                         flush);
}

void QtPaneHost::showImage(const std::string& name, const cv::Mat& image) {
    auto found = slots_.find(name);
    if (found == slots_.end())
        return;
    std::shared_ptr<Slot> slot = found->second;
    if (slot->direct) {
        showDirectly(*slot, image, !tBatch.open);
        if (tBatch.open &&
            std::find(tBatch.held.begin(), tBatch.held.end(), slot->direct) == tBatch.held.end())
            tBatch.held.push_back(slot->direct);
        if (!slot->showPosted.exchange(true))
            QMetaObject::invokeMethod(
                this,
                [slot] {
                    if (PaneWidget* widget = slot->widget.data(); widget && widget->isHidden())
                        widget->show(); // WA_ShowWithoutActivating: the focus stays where it is
                },
                Qt::QueuedConnection);
        return;
    }
    if (slot->inFlight.load() >= kMaxImagesInFlight)
        return;
    QImage copy;
    {
        std::lock_guard<std::mutex> lock(slot->buffersMutex);
        QImage* spare = &slot->buffers[0];
        for (QImage& buffer : slot->buffers) {
            if (buffer.isNull() || buffer.isDetached()) {
                spare = &buffer;
                break;
            }
        }
        copy = toQImage(image, *spare);
    }
    if (copy.isNull())
        return;
    ++slot->inFlight;
    QMetaObject::invokeMethod(
        this,
        [slot, copy = std::move(copy)]() mutable {
            --slot->inFlight;
            PaneWidget* widget = slot->widget.data();
            if (!widget)
                return;
            widget->setImage(std::move(copy));
            if (widget->isHidden())
                widget->show(); // WA_ShowWithoutActivating: the focus stays where it is
        },
        Qt::QueuedConnection);
}

void QtPaneHost::beginBatch() {
    tBatch.open = true;
}

void QtPaneHost::endBatch() {
    tBatch.open = false;
    for (const std::shared_ptr<X11ShmPresenter>& presenter : tBatch.held)
        presenter->flush();
    tBatch.held.clear();
}

void QtPaneHost::destroyPane(const std::string& name) {
    auto found = slots_.find(name);
    if (found == slots_.end())
        return;
    if (found->second->direct)
        found->second->direct->close(); // before its window goes
    QPointer<PaneWidget> widget = found->second->widget;
    if (QThread::currentThread() == thread())
        delete widget.data();
    else if (widget)
        widget->deleteLater();
}

PaneWidget* QtPaneHost::pane(const std::string& name) const {
    auto found = slots_.find(name);
    return found == slots_.end() ? nullptr : found->second->widget.data();
}

void QtPaneHost::setMouseHandler(const std::string& name, PaneWidget::MouseHandler handler) {
    if (PaneWidget* widget = pane(name))
        widget->setMouseHandler(std::move(handler));
}

} // namespace zorvexa
