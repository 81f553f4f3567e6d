#include "main/shell/ui/MainWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

#include "main/shell/app/CommandIds.h"
#include "main/shell/app/ToolbarTips.h"
#include "main/shell/ui/ToolbarIcons.h"

namespace zorvexa {

MainWindow::MainWindow()
    : QMainWindow(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                               Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(QStringLiteral("Zorvexa"));
    setObjectName(QStringLiteral("ZORVEXA"));
    setWindowIcon(toolbarIcon(kImageExercise));
    setFixedSize(kWidth, kHeight);
    const QScreen* screen = QGuiApplication::primaryScreen();
    move(placement(screen ? screen->geometry().width() : 1024));

    using namespace command;
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    addItem(file, kLogAnalysis, "Log Analysis", true, false);
    addItem(file, kLoadRawVideoFile, "Load Raw Video File", false, false);
    addItem(file, kViewSessionsLog, "View Sessions Exercise vs Calories Log", false, false);
    addItem(file, kEditGestureConfiguration, "Edit Gesture Configuration", false, false);
    addItem(file, kExit, "E&xit", false, false);
    QMenu* video = menuBar()->addMenu(QStringLiteral("&Video"));
    addItem(video, kGrab, "&Grab", true, false);
    addItem(video, kProcess, "&Process", true, false);
    QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
    addItem(options, kMirrorImage, "Mirror Image", true, false);
    addItem(options, kAutoShowOverlay, "Auto Show/HIde Video Overlay Window", true, true);
    options->addSeparator();
    addItem(options, kConfigureWebcam, "Configure WebCam", false, false);
    addItem(options, kShowCalorieCounter, "Show Calorie Counter", true, false);
    options->addSeparator();
    addItem(options, kUseBeginnerSettings, "Use Beginner Settings", true, true);
    addItem(options, kMouseMode, "Mouse Mode", true, false);
    addItem(options, kRobustRecognition, "Robust Stroke Recognition", true, false);
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    addItem(help, kAbout, "&About ...", false, false);

    // Alt + "?" and Alt + "/" open the about box; on most layouts "?" needs Shift, which
    // the second sequence of the "?" pair accepts as well.
    for (const char* keys : {"Alt+?", "Alt+Shift+?", "Alt+/"}) {
        auto* shortcut = new QShortcut(QKeySequence(QString::fromLatin1(keys)), this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this] {
            if (onCommand)
                onCommand(command::kAbout);
        });
    }

    clientArea_ = new QWidget(this);
    clientArea_->setObjectName(QStringLiteral("clientArea"));
    setCentralWidget(clientArea_);

    statusLabel_ = new QLabel(this);
    statusLabel_->setObjectName(QStringLiteral("statusText"));
    statusLabel_->setContentsMargins(4, 0, 4, 0);
    statusBar()->setSizeGripEnabled(false);
    statusBar()->setStyleSheet(QStringLiteral("QStatusBar { background-color: rgb(255, 153, 51); }"
                                              "QStatusBar::item { border: none; }"
                                              "QLabel#statusText { color: black; }"));
    statusBar()->addWidget(statusLabel_, 1);
}

QPoint MainWindow::placement(int screenWidth) {
    return {screenWidth / 2 - 150, 50};
}

QAction* MainWindow::addItem(QMenu* menu, int commandId, const char* text, bool checkable,
                             bool checked) {
    QAction* action = menu->addAction(QString::fromLatin1(text));
    action->setCheckable(checkable);
    action->setChecked(checked);
    action->setData(commandId);
    menuItems_[commandId] = Item{action, checked};
    connect(action, &QAction::triggered, this,
            [this, commandId] { trigger(menuItems_, commandId); });
    return action;
}

void MainWindow::trigger(std::map<int, Item>& items, int commandId) {
    // A checkable action flips itself when clicked; the check mark shows what the
    // command decides, so put it back first.
    auto found = items.find(commandId);
    if (found != items.end() && found->second.action->isCheckable())
        found->second.action->setChecked(found->second.checked);
    if (onCommand)
        onCommand(commandId);
}

bool MainWindow::hasMenuItem(int commandId) const {
    return menuItems_.find(commandId) != menuItems_.end();
}

QAction* MainWindow::menuAction(int commandId) const {
    auto found = menuItems_.find(commandId);
    return found == menuItems_.end() ? nullptr : found->second.action;
}

bool MainWindow::isChecked(int commandId) const {
    auto found = menuItems_.find(commandId);
    return found != menuItems_.end() && found->second.checked;
}

void MainWindow::setChecked(int commandId, bool checked) {
    auto found = menuItems_.find(commandId);
    if (found == menuItems_.end())
        return;
    found->second.checked = checked;
    found->second.action->setChecked(checked);
}

void MainWindow::removeMenuItem(int commandId) {
    auto found = menuItems_.find(commandId);
    if (found == menuItems_.end())
        return;
    QAction* action = found->second.action;
    menuItems_.erase(found);
    if (auto* menu = qobject_cast<QMenu*>(action->parent()))
        menu->removeAction(action);
    action->deleteLater();
}

void MainWindow::setupToolbar() {
    toolbar_ = new QToolBar(clientArea_);
    toolbar_->setObjectName(QStringLiteral("toolbar"));
    toolbar_->setMovable(false);
    toolbar_->setFloatable(false);
    toolbar_->setIconSize(QSize(32, 32));
    toolbar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    toolbar_->setGeometry(0, 0, kWidth, 44);
    addButton(command::kReloadConfig, kImageReload, false, false);
    addButton(command::kWebcamSettingsButton, kImageWebcamSettings, false, false);
    addButton(command::kGrabButton, kImageWebcam, true, false);
    addButton(command::kBeginnerModeButton, kImageBicycle, true, true);
    toolbar_->show();
}

void MainWindow::addButton(int commandId, int image, bool checkable, bool pressed) {
    QAction* action = toolbar_->addAction(toolbarIcon(image), QString());
    action->setCheckable(checkable);
    action->setChecked(pressed);
    action->setData(commandId);
    buttons_[commandId] = Item{action, pressed};
    connect(action, &QAction::triggered, this, [this, commandId] { trigger(buttons_, commandId); });
    refreshTooltip(commandId);
}

QAction* MainWindow::buttonAction(int commandId) const {
    auto found = buttons_.find(commandId);
    return found == buttons_.end() ? nullptr : found->second.action;
}

int MainWindow::buttonState(int commandId) const {
    auto found = buttons_.find(commandId);
    if (found == buttons_.end())
        return -1;
    int state = 0;
    if (found->second.action->isEnabled())
        state |= button_state::kEnabled;
    if (found->second.checked)
        state |= button_state::kPressed;
    return state;
}

void MainWindow::setButtonPressed(int commandId, bool pressed) {
    auto found = buttons_.find(commandId);
    if (found == buttons_.end())
        return;
    found->second.checked = pressed;
    found->second.action->setChecked(pressed);
    refreshTooltip(commandId);
}

void MainWindow::setButtonEnabled(int commandId, bool enabled) {
    auto found = buttons_.find(commandId);
    if (found == buttons_.end())
        return;
    found->second.action->setEnabled(enabled);
    refreshTooltip(commandId);
}

void MainWindow::refreshTooltip(int commandId) {
    QAction* action = buttonAction(commandId);
    if (!action)
        return;
    const char* text = toolbarTooltip(commandId, buttonState(commandId));
    action->setToolTip(text ? QString::fromLatin1(text) : QString());
}

void MainWindow::setStatusText(const QString& text) {
    statusLabel_->setText(text);
}

QString MainWindow::statusText() const {
    return statusLabel_->text();
}

void MainWindow::showAboutBox() {
    auto* box = new QDialog(this, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                      Qt::WindowCloseButtonHint);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setObjectName(QStringLiteral("aboutBox"));
    box->setWindowTitle(QStringLiteral("About Zorvexa"));
    box->setFixedSize(420, 195);
    auto* layout = new QVBoxLayout(box);
    auto* picture = new QLabel(box);
    picture->setPixmap(toolbarIcon(kImageExercise).pixmap(64, 64));
    picture->setAlignment(Qt::AlignCenter);
    layout->addWidget(picture, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, box);
    buttons->setCenterButtons(true);
    connect(buttons, &QDialogButtonBox::accepted, box, &QDialog::accept);
    layout->addWidget(buttons);
    box->setWindowModality(Qt::WindowModal);
    box->open();
}

void MainWindow::showFileNotFound(const QString& path) {
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("ERROR_FILE_NOT_FOUND"), path,
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setObjectName(QStringLiteral("fileNotFoundBox"));
    box->setWindowModality(Qt::WindowModal);
    box->open();
}

void MainWindow::showNotice(const QString& id, const QString& text,
                            std::function<void()> onDismissed) {
    QPointer<QMessageBox>& box = notices_[id];
    if (!box) {
        box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Zorvexa"), text,
                              QMessageBox::Ok, this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setAttribute(Qt::WA_ShowWithoutActivating);
        box->setObjectName(QStringLiteral("notice-") + id);
        box->setModal(false);
        // Closed by the user (not by dismissNotice): run what was asked for that case.
        connect(box, &QMessageBox::finished, this, [this, id](int) {
            const auto found = noticeDismissed_.find(id);
            if (found == noticeDismissed_.end())
                return;
            const std::function<void()> dismissed = std::move(found->second);
            noticeDismissed_.erase(found);
            if (dismissed)
                dismissed();
        });
    }
    noticeDismissed_[id] = std::move(onDismissed);
    box->setText(text);
    box->show();
}

void MainWindow::dismissNotice(const QString& id) {
    noticeDismissed_.erase(id);
    const auto it = notices_.find(id);
    if (it == notices_.end())
        return;
    if (it->second)
        it->second->close();
    notices_.erase(it);
}

QString MainWindow::noticeText(const QString& id) const {
    const auto it = notices_.find(id);
    return it != notices_.end() && it->second && it->second->isVisible() ? it->second->text()
                                                                         : QString();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (onClose)
        onClose();
    event->accept();
}

void MainWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && onActivationChange)
        onActivationChange();
    QMainWindow::changeEvent(event);
}

} // namespace zorvexa
