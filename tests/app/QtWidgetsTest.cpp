// The main window's widgets and the video panes, without an X server.
#include <cstdlib>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QToolBar>

#include <opencv2/core.hpp>

#include "main/shell/app/CommandIds.h"
#include "main/shell/app/ToolbarTips.h"
#include "main/shell/ui/IndicatorWindow.h"
#include "main/shell/ui/MainWindow.h"
#include "main/shell/ui/QtPaneHost.h"
#include "tests/app/TestApplication.h"

namespace zorvexa {
namespace {

struct MenuRow {
    QString text;
    int id; // 0 for a separator
};

std::vector<MenuRow> rows(QMenu* menu) {
    std::vector<MenuRow> out;
    for (QAction* action : menu->actions())
        out.push_back({action->isSeparator() ? QString() : action->text(),
                       action->isSeparator() ? 0 : action->data().toInt()});
    return out;
}

QMenu* menuNamed(MainWindow& window, const QString& title) {
    for (QAction* action : window.menuBar()->actions())
        if (action->text() == title)
            return action->menu();
    return nullptr;
}

TEST(MainWindowWidgets, MenuTreeBeforeAndAfterTheStartupRemovals) {
    testApplication();
    MainWindow window;
    EXPECT_EQ(window.windowTitle(), "Zorvexa");
    EXPECT_EQ(window.minimumSize(), QSize(572, 400));
    EXPECT_EQ(window.maximumSize(), QSize(572, 400));
    EXPECT_EQ(MainWindow::placement(1280), QPoint(490, 50));
    EXPECT_EQ(MainWindow::placement(1365), QPoint(532, 50));

    QStringList titles;
    for (QAction* action : window.menuBar()->actions())
        titles << action->text();
    EXPECT_EQ(titles, (QStringList{"&File", "&Video", "&Options", "&Help"}));

    QMenu* options = menuNamed(window, "&Options");
    ASSERT_NE(options, nullptr);
    const auto optionRows = rows(options);
    ASSERT_EQ(optionRows.size(), 9u);
    EXPECT_EQ(optionRows[1].text, "Auto Show/HIde Video Overlay Window");
    EXPECT_EQ(optionRows[2].id, 0);
    EXPECT_EQ(optionRows[6].id, command::kUseBeginnerSettings);
    EXPECT_TRUE(window.isChecked(command::kAutoShowOverlay)) << "checked in the template";
    EXPECT_TRUE(window.isChecked(command::kUseBeginnerSettings));
    EXPECT_FALSE(window.isChecked(command::kMirrorImage));
    EXPECT_EQ(optionRows[8].text, "Robust Stroke Recognition");
    EXPECT_FALSE(window.isChecked(command::kRobustRecognition));

    for (int id : command::kRemovedAtStartup)
        window.removeMenuItem(id);
    QCoreApplication::processEvents();
    const auto fileRows = rows(menuNamed(window, "&File"));
    ASSERT_EQ(fileRows.size(), 3u);
    EXPECT_EQ(fileRows[0].text, "View Sessions Exercise vs Calories Log");
    EXPECT_EQ(fileRows[1].id, command::kEditGestureConfiguration);
    EXPECT_EQ(fileRows[2].text, "E&xit");
    const auto videoRows = rows(menuNamed(window, "&Video"));
    ASSERT_EQ(videoRows.size(), 1u);
    EXPECT_EQ(videoRows[0].text, "&Grab");
    EXPECT_EQ(rows(options).size(), 8u);
    EXPECT_FALSE(window.hasMenuItem(command::kMouseMode));
    EXPECT_EQ(rows(menuNamed(window, "&Help"))[0].text, "&About ...");
}

TEST(MainWindowWidgets, ClicksLeaveCheckMarksToTheCommand) {
    testApplication();
    MainWindow window;
    std::vector<int> commands;
    window.onCommand = [&](int id) { commands.push_back(id); };
    window.menuAction(command::kMirrorImage)->trigger();
    EXPECT_EQ(commands, (std::vector<int>{command::kMirrorImage}));
    EXPECT_FALSE(window.isChecked(command::kMirrorImage));
    EXPECT_FALSE(window.menuAction(command::kMirrorImage)->isChecked());
    window.setChecked(command::kMirrorImage, true);
    EXPECT_TRUE(window.menuAction(command::kMirrorImage)->isChecked());
}

TEST(MainWindowWidgets, ToolbarButtonsStatesAndTooltips) {
    testApplication();
    MainWindow window;
    window.setupToolbar();
    std::vector<int> ids;
    for (QAction* action : window.toolbar()->actions())
        ids.push_back(action->data().toInt());
    EXPECT_EQ(ids, (std::vector<int>{command::kReloadConfig, command::kWebcamSettingsButton,
                                     command::kGrabButton, command::kBeginnerModeButton}));
    for (QAction* action : window.toolbar()->actions())
        EXPECT_FALSE(action->icon().isNull());

    QAction* grab = window.buttonAction(command::kGrabButton);
    EXPECT_EQ(grab->toolTip(), "turn webcam on");
    window.setButtonPressed(command::kGrabButton, true);
    EXPECT_EQ(grab->toolTip(), "webcam capturing video....");
    window.setButtonPressed(command::kGrabButton, false);
    window.setButtonEnabled(command::kGrabButton, false);
    EXPECT_EQ(grab->toolTip(), "webcam capturing video....");
    window.setButtonEnabled(command::kGrabButton, true);
    EXPECT_EQ(window.buttonState(command::kGrabButton), button_state::kEnabled);

    EXPECT_EQ(window.buttonAction(command::kBeginnerModeButton)->toolTip(),
              "Beginner Mode <active>");
    window.setButtonPressed(command::kBeginnerModeButton, false);
    EXPECT_EQ(window.buttonAction(command::kBeginnerModeButton)->toolTip(), "set Beginner Mode");
    EXPECT_EQ(window.buttonAction(command::kReloadConfig)->toolTip(),
              "reload configuration config.xml");
    EXPECT_EQ(window.buttonState(command::kTrack), -1);

    // A click on a pressed-state button does not flip it by itself.
    std::vector<int> commands;
    window.onCommand = [&](int id) { commands.push_back(id); };
    grab->trigger();
    EXPECT_EQ(commands, (std::vector<int>{command::kGrabButton}));
    EXPECT_FALSE(grab->isChecked());
}

// A notice stays on screen, without taking the focus, until it is dismissed; showing the
// same id again replaces its text instead of stacking another box.
TEST(MainWindowWidgets, NoticesStayUntilDismissedOnePerId) {
    testApplication();
    MainWindow window;
    window.show();
    window.showNotice("camera", "first");
    window.showNotice("camera", "second");
    window.showNotice("wayland", "other");
    QCoreApplication::processEvents();
    EXPECT_EQ(window.noticeText("camera"), "second");
    EXPECT_EQ(window.noticeText("wayland"), "other");
    const auto boxes = window.findChildren<QMessageBox*>();
    ASSERT_EQ(boxes.size(), 2);
    for (QMessageBox* box : boxes) {
        EXPECT_FALSE(box->isModal());
        EXPECT_TRUE(box->testAttribute(Qt::WA_ShowWithoutActivating));
    }
    window.setStatusText("[fps 30] [calories burnt: 0.0]"); // the status line moves on
    EXPECT_EQ(window.noticeText("camera"), "second");
    window.dismissNotice("camera");
    EXPECT_TRUE(window.noticeText("camera").isEmpty());
    EXPECT_EQ(window.noticeText("wayland"), "other");
    // The user's OK closes it, and the id can be shown again.
    window.findChild<QMessageBox*>("notice-wayland")->button(QMessageBox::Ok)->click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.noticeText("wayland").isEmpty());
    window.showNotice("wayland", "again");
    EXPECT_EQ(window.noticeText("wayland"), "again");
}

TEST(IndicatorWindowWidget, HiddenTranslucentToolWindowNearTheTop) {
    testApplication();
    IndicatorWindow window;
    EXPECT_TRUE(window.isHidden());
    EXPECT_EQ(window.windowTitle(), "Transparent Indicator Window");
    EXPECT_EQ(window.size(), QSize(320, 240));
    EXPECT_NEAR(window.windowOpacity(), 70.0 / 255.0, 0.01);
    const Qt::WindowFlags flags = window.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_EQ(window.windowType(), Qt::Tool);
    EXPECT_EQ(IndicatorWindow::placement(1280, 1024), QPoint(480, 136));
    EXPECT_EQ(IndicatorWindow::placement(1366, 768), QPoint(523, 72));
}

TEST(QtPaneHost, ImagesConvertWithTheirColoursInOrder) {
    cv::Mat bgr(2, 3, CV_8UC3, cv::Scalar(255, 0, 0)); // blue
    const QImage image = toQImage(bgr);
    ASSERT_EQ(image.size(), QSize(3, 2));
    EXPECT_EQ(image.pixelColor(1, 1), QColor(0, 0, 255));
    cv::Mat grey(4, 4, CV_8UC1, cv::Scalar(77));
    EXPECT_EQ(qGray(toQImage(grey).pixel(0, 0)), 77);
    cv::Mat floats(2, 2, CV_32FC3, cv::Scalar(0, 200, 0));
    EXPECT_EQ(toQImage(floats).pixelColor(0, 0), QColor(0, 200, 0));
    EXPECT_TRUE(toQImage(cv::Mat()).isNull());

    // A region of a larger frame (rows wider than the picture) keeps every pixel in place.
    cv::Mat frame(6, 8, CV_8UC3, cv::Scalar::all(0));
    frame.at<cv::Vec3b>(2, 3) = cv::Vec3b(10, 20, 30);
    frame.at<cv::Vec3b>(4, 6) = cv::Vec3b(40, 50, 60);
    const QImage region = toQImage(frame(cv::Rect(2, 1, 5, 4)));
    ASSERT_EQ(region.size(), QSize(5, 4));
    EXPECT_EQ(region.pixelColor(1, 1), QColor(30, 20, 10));
    EXPECT_EQ(region.pixelColor(4, 3), QColor(60, 50, 40));
    EXPECT_EQ(region.pixelColor(0, 0), QColor(0, 0, 0));
    EXPECT_FALSE(region.hasAlphaChannel());
}

// What a pane showed before it painted only the uncovered strips: the whole pane in the
// background colour, then the picture (converted on the window thread) from the corner.
QImage referencePane(const cv::Mat& bgr, QSize pane) {
    QImage canvas(pane, QImage::Format_RGB32);
    QPainter painter(&canvas);
    painter.fillRect(canvas.rect(), QColor(32, 32, 32));
    const QImage picture(bgr.data, bgr.cols, bgr.rows, static_cast<qsizetype>(bgr.step),
                         QImage::Format_BGR888);
    QSize size = picture.size();
    if (size.width() > pane.width() || size.height() > pane.height())
        size.scale(pane, Qt::KeepAspectRatio);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(QPoint(0, 0), size), picture);
    return canvas;
}

TEST(PaneWidget, PaintsTheSamePixelsAsAFullFillAndTheConvertedPicture) {
    testApplication();
    cv::Mat noise(240, 320, CV_8UC3);
    cv::randu(noise, cv::Scalar::all(0), cv::Scalar::all(256));
    // Same size as the pane, smaller (strips right and below), larger (scaled down).
    for (const auto& [picture, pane] :
         std::vector<std::pair<cv::Mat, QSize>>{{noise, QSize(320, 240)},
                                                {noise(cv::Rect(0, 0, 200, 150)), QSize(240, 240)},
                                                {noise, QSize(240, 240)}}) {
        QWidget host;
        PaneWidget widget(&host);
        widget.setGeometry(QRect(QPoint(0, 0), pane));
        widget.setImage(toQImage(picture));
        const QImage painted = widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(painted, referencePane(picture.clone(), pane))
            << picture.cols << "x" << picture.rows << " in " << pane.width() << "x"
            << pane.height();
    }
}

TEST(QtPaneHost, ReusedBuffersNeverOverwriteAPictureStillHeld) {
    QImage buffer;
    const QImage first = toQImage(cv::Mat(2, 3, CV_8UC3, cv::Scalar(255, 0, 0)), buffer);
    ASSERT_EQ(first.size(), QSize(3, 2));
    // `first` still shares the buffer: the next picture must go somewhere else.
    QImage second = toQImage(cv::Mat(2, 3, CV_8UC3, cv::Scalar(0, 0, 255)), buffer);
    EXPECT_EQ(first.pixelColor(0, 0), QColor(0, 0, 255));
    EXPECT_EQ(second.pixelColor(2, 1), QColor(255, 0, 0));
    EXPECT_NE(first.constBits(), second.constBits());

    // Once nobody else holds it, the same memory is written again.
    const uchar* memory = buffer.constBits();
    second = QImage();
    QImage third = toQImage(cv::Mat(2, 3, CV_8UC3, cv::Scalar(0, 255, 0)), buffer);
    EXPECT_EQ(third.constBits(), memory);
    EXPECT_EQ(third.pixelColor(1, 0), QColor(0, 255, 0));
    // Another size or a grey picture gets a buffer of its own.
    third = QImage();
    EXPECT_EQ(toQImage(cv::Mat(4, 4, CV_8UC3, cv::Scalar::all(1)), buffer).size(), QSize(4, 4));
    EXPECT_EQ(qGray(toQImage(cv::Mat(2, 2, CV_8UC1, cv::Scalar(77)), buffer).pixel(1, 1)), 77);
}

TEST(QtPaneHost, HiddenPaneAppearsWithItsFirstImageWithoutTakingTheFocus) {
    testApplication();
    QWidget host;
    host.resize(600, 400);
    QWidget* focus = new QWidget(&host);
    focus->setFocusPolicy(Qt::StrongFocus);
    host.show();
    focus->setFocus();
    QtPaneHost panes;
    int handle = 0;
    panes.registerHost(&handle, &host);
    panes.createPane("video", &handle, 0, 60, 320, 240, true);
    panes.createPane("demo_video", &handle, 321, 60, 240, 240, false);
    panes.createPane("orphan", nullptr, 0, 0, 10, 10, false); // unknown host: no pane

    PaneWidget* video = panes.pane("video");
    ASSERT_NE(video, nullptr);
    EXPECT_EQ(video->geometry(), QRect(0, 60, 320, 240));
    EXPECT_TRUE(video->isHidden());
    EXPECT_FALSE(panes.pane("demo_video")->isHidden());
    EXPECT_EQ(panes.pane("orphan"), nullptr);
    EXPECT_EQ(video->focusPolicy(), Qt::NoFocus);

    // From another thread, as the frame loop does.
    std::thread worker(
        [&] { panes.showImage("video", cv::Mat(120, 160, CV_8UC3, cv::Scalar::all(9))); });
    worker.join();
    EXPECT_TRUE(video->isHidden()) << "delivered on the window thread only";
    QCoreApplication::processEvents();
    EXPECT_FALSE(video->isHidden());
    EXPECT_EQ(video->image().size(), QSize(160, 120));
    EXPECT_EQ(QApplication::focusWidget(), focus);

    // A double click, as Qt delivers it, is one click; a press after the double-click
    // interval is another.
    std::vector<int> events;
    panes.setMouseHandler("demo_video", [&](int event, int, int) { events.push_back(event); });
    PaneWidget* guide = panes.pane("demo_video");
    auto send = [&](QEvent::Type type, Qt::MouseButton button, quint64 ms) {
        const QPointF at(10, 10);
        QMouseEvent e(type, at, guide->mapToGlobal(at), button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : button, Qt::NoModifier);
        e.setTimestamp(ms);
        QCoreApplication::sendEvent(guide, &e);
    };
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
        const quint64 t = button == Qt::LeftButton ? 100000 : 200000;
        send(QEvent::MouseButtonPress, button, t);
        send(QEvent::MouseButtonRelease, button, t + 60);
        send(QEvent::MouseButtonPress, button, t + 120);
        send(QEvent::MouseButtonDblClick, button, t + 120);
        send(QEvent::MouseButtonRelease, button, t + 180);
        send(QEvent::MouseButtonPress, button, t + 5000);
        send(QEvent::MouseButtonRelease, button, t + 5060);
    }
    EXPECT_EQ(events,
              (std::vector<int>{PaneWidget::kLeftButtonDown, PaneWidget::kLeftButtonDown,
                                PaneWidget::kRightButtonDown, PaneWidget::kRightButtonDown}));
    panes.showImage("missing", cv::Mat(2, 2, CV_8UC3)); // ignored
    panes.destroyPane("video");
    EXPECT_EQ(panes.pane("video"), nullptr);
}

} // namespace
} // namespace zorvexa
