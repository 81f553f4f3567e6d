// Panes drawn straight into their X windows, on a real X server (Xvfb): what the window
// holds, read back from the server, must be what Qt's painting of the same picture gives.
#include <chrono>
#include <cstdlib>
#include <thread>

#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <opencv2/core.hpp>

#include "main/shell/ui/QtPaneHost.h"

namespace zorvexa {
namespace {

QApplication& xcbApplication() {
    static int argc = 1;
    static char name[] = "app_direct_pane_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* instance = [] {
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
        return new QApplication(argc, argv);
    }();
    return *instance;
}

// The window's pixels as the server holds them.
QImage readBack(Display* display, WId window, int width, int height) {
    XImage* image =
        XGetImage(display, static_cast<::Window>(window), 0, 0, static_cast<unsigned>(width),
                  static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (!image)
        return {};
    QImage out(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            out.setPixel(x, y, static_cast<QRgb>(XGetPixel(image, x, y)) | 0xff000000u);
    XDestroyImage(image);
    return out;
}

// Waits (events running) until the window holds `expected`; the server draws a put when
// it gets to it.
bool windowShows(Display* display, PaneWidget* pane, const QImage& expected) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (std::chrono::steady_clock::now() < deadline) {
        QCoreApplication::processEvents();
        XSync(display, False);
        if (!pane->isHidden() &&
            readBack(display, pane->winId(), expected.width(), expected.height()) == expected)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

cv::Mat randomPicture(int rows, int cols, int type) {
    cv::Mat m(rows, cols, type);
    cv::randu(m, cv::Scalar::all(0), cv::Scalar::all(256));
    return m;
}

struct Panes {
    QApplication& app = xcbApplication();
    QWidget host;
    QtPaneHost direct, qt;
    int handleDirect = 0, handleQt = 0;
    Display* display = XOpenDisplay(nullptr);

    Panes() {
        host.resize(700, 300);
        host.show();
        direct.paintDirectlyWhereAble(true);
        direct.registerHost(&handleDirect, &host);
        qt.registerHost(&handleQt, &host);
        direct.createPane("video", &handleDirect, 0, 0, 320, 240, true);
        qt.createPane("video", &handleQt, 340, 0, 320, 240, true);
    }
    ~Panes() { XCloseDisplay(display); }

    // Shows the picture in both panes from another thread, as the frame loop does; true
    // when the direct pane's window then holds what the Qt pane paints.
    bool sameInBoth(const cv::Mat& picture) {
        std::thread([&] {
            direct.showImage("video", picture);
            qt.showImage("video", picture);
        }).join();
        QCoreApplication::processEvents();
        const QImage painted =
            qt.pane("video")->grab().toImage().convertToFormat(QImage::Format_RGB32);
        return windowShows(display, direct.pane("video"), painted);
    }
};

TEST(DirectPanes, WindowsHoldWhatQtWouldPaint) {
    Panes panes;
    ASSERT_NE(panes.display, nullptr);
    PaneWidget* pane = panes.direct.pane("video");
    ASSERT_TRUE(pane->paintsDirectly()) << "Xvfb has MIT-SHM and 24-bit colour";
    EXPECT_TRUE(pane->isHidden()) << "hidden until its first picture";

    EXPECT_TRUE(panes.sameInBoth(randomPicture(240, 320, CV_8UC3))) << "the pane's own size";
    EXPECT_TRUE(panes.sameInBoth(randomPicture(120, 160, CV_8UC3))) << "smaller: strips";
    EXPECT_TRUE(panes.sameInBoth(randomPicture(300, 400, CV_8UC3))) << "larger: scaled";
    EXPECT_TRUE(panes.sameInBoth(randomPicture(240, 320, CV_8UC1))) << "grey";
    EXPECT_TRUE(panes.sameInBoth(randomPicture(240, 320, CV_8UC3))) << "after the others";
}

TEST(DirectPanes, ExposedWindowIsDrawnAgainAndAClosedPaneTakesNothing) {
    Panes panes;
    ASSERT_NE(panes.display, nullptr);
    const cv::Mat picture = randomPicture(240, 320, CV_8UC3);
    ASSERT_TRUE(panes.sameInBoth(picture));
    PaneWidget* pane = panes.direct.pane("video");
    const QImage shown = readBack(panes.display, pane->winId(), 320, 240);

    // Overdrawn, then exposed as when a window above it goes away.
    const auto window = static_cast<::Window>(pane->winId());
    GC gc = XCreateGC(panes.display, window, 0, nullptr);
    XSetForeground(panes.display, gc, 0);
    XFillRectangle(panes.display, window, gc, 0, 0, 320, 240);
    XFreeGC(panes.display, gc);
    XSync(panes.display, False);
    ASSERT_NE(readBack(panes.display, pane->winId(), 320, 240), shown);
    XClearArea(panes.display, window, 0, 0, 0, 0, True);
    XFlush(panes.display);
    EXPECT_TRUE(windowShows(panes.display, pane, shown));

    // Gone: pictures that still come are dropped, without X errors or a crash.
    panes.direct.destroyPane("video");
    std::thread([&] { panes.direct.showImage("video", picture); }).join();
    QCoreApplication::processEvents();
}

TEST(DirectPanes, PicturesOfABatchAreSentWhenItEnds) {
    Panes panes;
    ASSERT_NE(panes.display, nullptr);
    ASSERT_TRUE(panes.sameInBoth(randomPicture(240, 320, CV_8UC3)));
    PaneWidget* pane = panes.direct.pane("video");
    const QImage before = readBack(panes.display, pane->winId(), 320, 240);
    const cv::Mat next = randomPicture(240, 320, CV_8UC3);
    bool heldBack = false;
    std::thread([&] {
        PaneBatch batch(&panes.direct);
        panes.direct.showImage("video", next);
        XSync(panes.display, False); // whatever reached the server is drawn by now
        heldBack = readBack(panes.display, pane->winId(), 320, 240) == before;
    }).join();
    EXPECT_TRUE(heldBack) << "sent before the batch ended";
    EXPECT_TRUE(windowShows(panes.display, pane, toQImage(next))) << "not sent at its end";
}

} // namespace
} // namespace zorvexa
