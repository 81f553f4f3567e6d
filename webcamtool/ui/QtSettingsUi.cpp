#include "webcamtool/ui/QtSettingsUi.h"

#include "webcamtool/ui/SettingsDialog.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace zorvexa {

namespace {

int autoCloseFromEnvironment() {
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue("ZORVEXA_AUTOCLOSE_MS", &ok);
    return ok && ms >= 0 ? ms : -1;
}

} // namespace

QtSettingsUi::QtSettingsUi(QApplication& app)
    : app_(app), autoCloseMs_(autoCloseFromEnvironment()) {}

void QtSettingsUi::showMessage(const std::string& caption, const std::string& text,
                               MessageIcon icon) {
    QMessageBox box(icon == MessageIcon::Error ? QMessageBox::Critical : QMessageBox::Information,
                    QString::fromStdString(caption), QString::fromStdString(text), QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    runUntilClosed(box, caption + "\n" + text);
}

void QtSettingsUi::showSettings(ControlModel& model, const std::string& title) {
    SettingsDialog dialog(model, QString::fromStdString(title));
    dialog.move(kSettingsDialogX, kSettingsDialogY);
    runUntilClosed(dialog, title);
}

void QtSettingsUi::runUntilClosed(QDialog& dialog, const std::string& announcement) {
    QObject::connect(&dialog, &QDialog::finished, &app_, &QCoreApplication::quit);
    if (autoCloseMs_ >= 0) {
        std::printf("%s\n", announcement.c_str());
        std::fflush(stdout);
        QTimer::singleShot(autoCloseMs_, &dialog, &QDialog::reject);
    }
    dialog.show();
    app_.exec();
}

} // namespace zorvexa
