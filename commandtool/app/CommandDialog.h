// The command selection dialog: a small frameless, always-on-top orange window with the
// command list (or the task list) and the row of gesture pictograms under it. All
// decisions are the controller's; this widget shows its lists and forwards keys.
#pragma once

#include <QWidget>

#include "commandtool/controller/CommandDialogController.h"
#include "commandtool/controller/DialogGeometry.h"

class QListWidget;

namespace zorvexa {

class CommandDialog : public QWidget {
  public:
    explicit CommandDialog(CommandDialogController& controller, QWidget* parent = nullptr);

    // The dialog's size and place on the given screen area (left, top, width, height).
    void placeOnScreen(const QRect& screen);
    // Shows the dialog again with `text` as its only line (why nothing happened).
    void showMessage(const QString& text);

    const DialogUnits& units() const { return units_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    bool handleKey(QKeyEvent* event); // true when the key is used up
    void refresh();
    void fillTaskList();

    CommandDialogController& controller_;
    DialogUnits units_;
    QListWidget* commandList_ = nullptr;
    QListWidget* taskList_ = nullptr;
    bool taskListFilled_ = false;
};

// The dialog font: "Courier New" 8 point, or the system's monospace font at 8 point
// where Courier New is not installed.
QFont dialogFont();

} // namespace zorvexa
