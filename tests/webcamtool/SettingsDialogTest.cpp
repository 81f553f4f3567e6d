// The settings dialog on a fake camera, offscreen: the widgets match the controls, a
// change reaches the device, and a screenshot is left for a person to look at.
#include "webcamtool/ui/SettingsDialog.h"
#include "tests/webcamtool/FakeVideoDevice.h"
#include "webcamtool/core/WebcamSettings.h"
#include "webcamtool/ui/QtSettingsUi.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>

namespace zorvexa::test {
namespace {

QApplication& application() {
    static int argc = 1;
    static char name[] = "vintrel_dialog_test";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

template <typename W> W* widgetNamed(QWidget& root, const QString& accessibleName) {
    for (W* w : root.findChildren<W*>())
        if (w->accessibleName() == accessibleName)
            return w;
    return nullptr;
}

struct VintrelDialog : ::testing::Test {
    VintrelDialog() : device(cam), model(device) {
        application();
        model.load();
    }
    std::shared_ptr<FakeCamera> cam = typicalWebcam();
    FakeVideoDevice device;
    ControlModel model;
};

TEST_F(VintrelDialog, EachControlHasTheWidgetOfItsKindOnItsClassPage) {
    SettingsDialog dialog(model, "Fake HD Webcam Properties");
    auto* tabs = dialog.findChild<QTabWidget*>();
    ASSERT_NE(tabs, nullptr);
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), "User Controls");
    EXPECT_EQ(tabs->tabText(1), "Camera Controls");

    QSlider* brightness = widgetNamed<QSlider>(dialog, "Brightness");
    ASSERT_NE(brightness, nullptr);
    EXPECT_EQ(brightness->value(), 10 + 64) << "positions count from the minimum";
    EXPECT_TRUE(tabs->widget(0)->isAncestorOf(brightness));
    QCheckBox* wbAuto = widgetNamed<QCheckBox>(dialog, "White Balance, Automatic");
    ASSERT_NE(wbAuto, nullptr);
    EXPECT_TRUE(wbAuto->isChecked());
    QComboBox* power = widgetNamed<QComboBox>(dialog, "Power Line Frequency");
    ASSERT_NE(power, nullptr);
    EXPECT_EQ(power->currentText(), "50 Hz");
    QComboBox* exposure = widgetNamed<QComboBox>(dialog, "Auto Exposure");
    ASSERT_NE(exposure, nullptr);
    EXPECT_TRUE(tabs->widget(1)->isAncestorOf(exposure));
    EXPECT_EQ(exposure->currentText(), "Aperture Priority Mode");

    // Inactive controls are shown greyed out.
    QSlider* temperature = widgetNamed<QSlider>(dialog, "White Balance Temperature");
    ASSERT_NE(temperature, nullptr);
    EXPECT_FALSE(temperature->isEnabled());
    EXPECT_FALSE(widgetNamed<QSlider>(dialog, "Exposure Time, Absolute")->isEnabled());
}

TEST_F(VintrelDialog, ChangesGoToTheDeviceAndDependentControlsFollow) {
    SettingsDialog dialog(model, "Fake HD Webcam Properties");
    QSlider* saturation = widgetNamed<QSlider>(dialog, "Saturation");
    saturation->setValue(80);
    ASSERT_FALSE(cam->writes.empty());
    EXPECT_EQ(cam->writes.back(), std::make_pair(cid::kSaturation, 80));
    EXPECT_EQ(cam->control(cid::kSaturation)->value, 80);

    // A slider with a step moves over the values the device accepts.
    widgetNamed<QCheckBox>(dialog, "White Balance, Automatic")->setChecked(false);
    EXPECT_EQ(cam->control(cid::kWhiteBalanceAuto)->value, 0);
    QSlider* temperature = widgetNamed<QSlider>(dialog, "White Balance Temperature");
    EXPECT_TRUE(temperature->isEnabled());
    temperature->setValue(temperature->value() + 3);
    EXPECT_EQ(cam->control(cid::kWhiteBalanceTemperature)->value, 4630);

    QComboBox* power = widgetNamed<QComboBox>(dialog, "Power Line Frequency");
    power->setCurrentIndex(2);
    emit power->activated(2);
    EXPECT_EQ(cam->control(cid::kPowerLineFrequency)->value, 2);

    QPushButton* reset = nullptr;
    for (QPushButton* b : dialog.findChildren<QPushButton*>())
        if (b->text() == "Reset to defaults")
            reset = b;
    ASSERT_NE(reset, nullptr);
    reset->click();
    EXPECT_EQ(cam->control(cid::kSaturation)->value, 55);
    EXPECT_EQ(cam->control(cid::kPowerLineFrequency)->value, 1);
    EXPECT_EQ(saturation->value(), 55);
    EXPECT_EQ(power->currentText(), "50 Hz");
    EXPECT_TRUE(widgetNamed<QCheckBox>(dialog, "White Balance, Automatic")->isChecked());
    EXPECT_FALSE(temperature->isEnabled());
}

TEST_F(VintrelDialog, ScreenshotOfEachPage) {
    SettingsDialog dialog(model, "Fake HD Webcam Properties");
    dialog.move(30, 30);
    dialog.show();
    QApplication::processEvents();
    auto* tabs = dialog.findChild<QTabWidget*>();
    const std::filesystem::path folder = ZORVEXA_TEST_OUTPUT;
    std::filesystem::create_directories(folder);
    for (int page = 0; page < tabs->count(); ++page) {
        tabs->setCurrentIndex(page);
        QApplication::processEvents();
        const QString file = QString::fromStdString(
            (folder / ("vintrel-settings-" + std::to_string(page + 1) + ".png")).string());
        EXPECT_TRUE(dialog.grab().save(file));
    }
    EXPECT_EQ(dialog.pos(), QPoint(30, 30));
}

// What the first visible dialog looked like, which is then closed as a user would.
struct SeenWindow {
    bool found = false;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QPoint pos;
    bool modal = false;
};

void inspectAndCloseSoon(SeenWindow& seen) {
    QTimer::singleShot(20, [&seen] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QDialog*>(w);
            if (dialog == nullptr || !dialog->isVisible())
                continue;
            seen.found = true;
            seen.title = dialog->windowTitle();
            seen.pos = dialog->pos();
            seen.modal = dialog->isModal();
            if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
                seen.text = box->text();
                seen.icon = box->icon();
            }
            dialog->reject();
            return;
        }
    });
}

TEST(VintrelQtUi, RunShowsTheRightBoxOrTheDialogAndReturnsWhenClosed) {
    QtSettingsUi ui(application());
    {
        FakeVideoSystem none;
        SeenWindow seen;
        inspectAndCloseSoon(seen);
        EXPECT_EQ(showWebcamSettings(none, ui), 0);
        ASSERT_TRUE(seen.found);
        EXPECT_EQ(seen.title, "Warning");
        EXPECT_EQ(seen.text, "webcam not detected!\n you need a webcam to use this application");
        EXPECT_EQ(seen.icon, QMessageBox::Information);
    }
    {
        FakeVideoSystem broken;
        broken.addNode("/dev/video0", nullptr);
        SeenWindow seen;
        inspectAndCloseSoon(seen);
        EXPECT_EQ(showWebcamSettings(broken, ui), 1);
        ASSERT_TRUE(seen.found);
        EXPECT_EQ(seen.title, "FATAL ERROR");
        EXPECT_EQ(seen.text, "webcam not detected!\nprogram will terminate");
        EXPECT_EQ(seen.icon, QMessageBox::Critical);
    }
    {
        FakeVideoSystem working;
        auto cam = typicalWebcam();
        working.addNode("/dev/video0", cam);
        SeenWindow seen;
        inspectAndCloseSoon(seen);
        EXPECT_EQ(showWebcamSettings(working, ui, 5), 0);
        ASSERT_TRUE(seen.found);
        EXPECT_EQ(seen.title, "Fake HD Webcam Properties");
        EXPECT_EQ(seen.pos, QPoint(30, 30));
        EXPECT_TRUE(seen.modal);
    }
}

} // namespace
} // namespace zorvexa::test
