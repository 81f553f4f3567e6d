// Message boxes and the settings dialog with Qt Widgets. Each one runs the application's
// event loop until it is closed.
//
// Test hook: when the environment variable ZORVEXA_AUTOCLOSE_MS holds a number N, each box
// or dialog prints its caption and text (the dialog: its title) to standard output as it
// appears and closes itself after N milliseconds, so a test can run the real program
// without a person clicking.
#pragma once

#include "webcamtool/core/WebcamSettings.h"

class QApplication;
class QDialog;

namespace zorvexa {

class QtSettingsUi : public SettingsUi {
  public:
    explicit QtSettingsUi(QApplication& app);

    void showMessage(const std::string& caption, const std::string& text,
                     MessageIcon icon) override;
    void showSettings(ControlModel& model, const std::string& title) override;

  private:
    void runUntilClosed(QDialog& dialog, const std::string& announcement);

    QApplication& app_;
    int autoCloseMs_ = -1;
};

} // namespace zorvexa
