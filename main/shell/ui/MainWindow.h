// The main window: a small fixed-size window with the menu, the toolbar, the video panes'
// client area and the orange status bar. It owns the widgets and their check marks and
// button states; what a command does is decided by the shell (ShellController), which it
// calls with the command's id.
#pragma once

#include <functional>
#include <map>

#include <QMainWindow>
#include <QPointer>

class QAction;
class QLabel;
class QMessageBox;
class QToolBar;

namespace zorvexa {

class MainWindow : public QMainWindow {
  public:
    static constexpr int kWidth = 572;
    static constexpr int kHeight = 400;

    MainWindow();

    // Top-left corner on a screen of the given width: 150 pixels left of its centre, 50
    // from its top.
    static QPoint placement(int screenWidth);

    std::function<void(int commandId)> onCommand;
    std::function<void()> onClose;            // the window is closing (close box or Exit)
    std::function<void()> onActivationChange; // the window became active or inactive

    // The area below the menu bar that holds the toolbar and the video panes.
    QWidget* clientArea() const { return clientArea_; }

    // Menu items, by command id. A removed item is gone for good.
    bool hasMenuItem(int commandId) const;
    bool isChecked(int commandId) const;
    void setChecked(int commandId, bool checked);
    void removeMenuItem(int commandId);
    QAction* menuAction(int commandId) const;

    // The four toolbar buttons, and their state bits (see ToolbarTips.h); -1 for an id
    // without a button.
    void setupToolbar();
    int buttonState(int commandId) const;
    void setButtonPressed(int commandId, bool pressed);
    void setButtonEnabled(int commandId, bool enabled);
    QAction* buttonAction(int commandId) const;
    QToolBar* toolbar() const { return toolbar_; }

    void setStatusText(const QString& text);
    QString statusText() const;

    // The about box (modal for this window; returns at once).
    void showAboutBox();
    // The warning for a program or file that is not there, with its full path as text.
    void showFileNotFound(const QString& path);
    // A notice that stays until the user dismisses it: a small box that is not modal and
    // does not take the focus (strokes keep going to the window in front). One per `id`;
    // showing an id again replaces its text. `onDismissed` runs when the user closes it
    // (not when dismissNotice does). Window thread only.
    void showNotice(const QString& id, const QString& text, std::function<void()> onDismissed = {});
    void dismissNotice(const QString& id);
    // The text of the notice on screen under `id`; empty when there is none.
    QString noticeText(const QString& id) const;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    struct Item {
        QAction* action = nullptr;
        bool checked = false; // the state the window shows; clicks do not change it by
                              // themselves, the command does
    };
    QAction* addItem(QMenu* menu, int commandId, const char* text, bool checkable, bool checked);
    void addButton(int commandId, int image, bool checkable, bool pressed);
    void trigger(std::map<int, Item>& items, int commandId);
    void refreshTooltip(int commandId);

    QWidget* clientArea_ = nullptr;
    QToolBar* toolbar_ = nullptr;
    QLabel* statusLabel_ = nullptr;
    std::map<int, Item> menuItems_;
    std::map<int, Item> buttons_;
    std::map<QString, QPointer<QMessageBox>> notices_;
    std::map<QString, std::function<void()>> noticeDismissed_; // run when the user closes one
};

} // namespace zorvexa
