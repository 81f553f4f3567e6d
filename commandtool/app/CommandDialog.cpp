#include "commandtool/app/CommandDialog.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPalette>

#include "commandtool/app/Pictograms.h"
#include "commandtool/app/TabStopDelegate.h"

namespace zorvexa {

namespace {

const QColor kDialogColour(255, 140, 0);

// Control rectangles in dialog units.
struct UnitRect {
    int x, y, w, h;
};
constexpr UnitRect kCommandListRect{9, 1, 229, 146};
constexpr UnitRect kTaskListRect{9, 2, 229, 145};
constexpr int kPictogramX[] = {10, 35, 58, 81, 104, 127, 150};
constexpr int kPictogramY = 150;
constexpr int kPictogramUnits = 20;
// List-box tab stops lie every 32 horizontal dialog units.
constexpr int kTabStopUnits = 32;
constexpr int kTaskIconSize = 16;

QRect toPixels(const DialogUnits& units, const UnitRect& r) {
    return QRect(units.toPixelsX(r.x), units.toPixelsY(r.y), units.toPixelsX(r.w),
                 units.toPixelsY(r.h));
}

DialogUnits unitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    DialogUnits units;
    // Average width of the 52 letters, rounded to the nearest pixel.
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    units.baseX = (letters / 26 + 1) / 2;
    units.baseY = metrics.height();
    return units;
}

DialogKey dialogKeyOf(int key) {
    switch (key) {
    case Qt::Key_Up:
        return DialogKey::Up;
    case Qt::Key_Down:
        return DialogKey::Down;
    case Qt::Key_N:
        return DialogKey::N;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return DialogKey::Enter;
    case Qt::Key_Escape:
        return DialogKey::Escape;
    default:
        return DialogKey::Other;
    }
}

QIcon taskIcon(const WindowIcon& icon) {
    if (icon.width <= 0 || icon.height <= 0 ||
        icon.argb.size() < static_cast<std::size_t>(icon.width) * icon.height) {
        return QIcon(pictogramPixmap(Pictogram::ToCentre, kTaskIconSize));
    }
    const QImage image(reinterpret_cast<const uchar*>(icon.argb.data()), icon.width, icon.height,
                       icon.width * 4, QImage::Format_ARGB32);
    return QIcon(QPixmap::fromImage(
        image.scaled(kTaskIconSize, kTaskIconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void styleList(QListWidget* list) {
    QPalette palette = list->palette();
    palette.setColor(QPalette::Base, QColor(255, 248, 238));
    palette.setColor(QPalette::Text, QColor(30, 20, 10));
    palette.setColor(QPalette::Highlight, QColor(59, 29, 0));
    palette.setColor(QPalette::HighlightedText, QColor(255, 214, 150));
    palette.setColor(QPalette::Inactive, QPalette::Highlight, QColor(59, 29, 0));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText, QColor(255, 214, 150));
    list->setPalette(palette);
    list->setFrameShape(QFrame::Box);
    list->setLineWidth(1);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setUniformItemSizes(true);
}

} // namespace

QFont dialogFont() {
    QFont font;
    const QStringList families = QFontDatabase::families();
    if (families.contains(QStringLiteral("Courier New"))) {
        font = QFont(QStringLiteral("Courier New"));
    } else if (families.contains(QStringLiteral("Liberation Mono"))) {
        font = QFont(QStringLiteral("Liberation Mono")); // same metrics as Courier New
    } else {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    }
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSize(8);
    font.setWeight(QFont::Normal);
    return font;
}

CommandDialog::CommandDialog(CommandDialogController& controller, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      controller_(controller) {
    setFont(dialogFont());
    units_ = unitsOf(font());
    setWindowIcon(pictogramIcon(Pictogram::ToCentre));

    QPalette ground = palette();
    ground.setColor(QPalette::Window, kDialogColour);
    setPalette(ground);
    setAutoFillBackground(true);
    setFixedSize(units_.toPixelsX(kDialogWidthUnits), units_.toPixelsY(kDialogHeightUnits));

    commandList_ = new QListWidget(this);
    commandList_->setGeometry(toPixels(units_, kCommandListRect));
    commandList_->setItemDelegate(
        new TabStopDelegate(units_.toPixelsX(kTabStopUnits), commandList_));
    styleList(commandList_);

    taskList_ = new QListWidget(this);
    taskList_->setGeometry(toPixels(units_, kTaskListRect));
    taskList_->setIconSize(QSize(kTaskIconSize, kTaskIconSize));
    styleList(taskList_);
    taskList_->hide();

    const int pictogramWidth = units_.toPixelsX(kPictogramUnits);
    const int pictogramHeight = units_.toPixelsY(kPictogramUnits);
    const int pictogramSize = std::min(pictogramWidth, pictogramHeight);
    int column = 0;
    for (const Pictogram pictogram : kPictogramRow) {
        auto* label = new QLabel(this);
        label->setPixmap(pictogramPixmap(pictogram, pictogramSize, devicePixelRatioF()));
        label->setGeometry(units_.toPixelsX(kPictogramX[column]), units_.toPixelsY(kPictogramY),
                           pictogramSize, pictogramSize);
        ++column;
    }

    commandList_->installEventFilter(this);
    taskList_->installEventFilter(this);
    connect(commandList_, &QListWidget::currentRowChanged, this,
            [this](int row) { controller_.commandSelectionChanged(row); });
    connect(taskList_, &QListWidget::currentRowChanged, this,
            [this](int row) { controller_.taskSelectionChanged(row); });

    controller_.listChanged = [this] { refresh(); };
    setFocusProxy(commandList_);
}

void CommandDialog::placeOnScreen(const QRect& screen) {
    const DialogPosition position =
        dialogPosition(screen.width(), screen.height(), width(), height());
    move(screen.left() + position.x, screen.top() + position.y);
}

void CommandDialog::showMessage(const QString& text) {
    {
        const QSignalBlocker blocker(commandList_);
        commandList_->clear();
        commandList_->addItem(text);
    }
    taskList_->hide();
    commandList_->show();
    show();
    raise();
}

bool CommandDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        return handleKey(static_cast<QKeyEvent*>(event));
    }
    return QWidget::eventFilter(watched, event);
}

void CommandDialog::keyPressEvent(QKeyEvent* event) {
    if (!handleKey(event)) {
        QWidget::keyPressEvent(event);
    }
}

void CommandDialog::closeEvent(QCloseEvent* event) {
    // Closed by the window manager: the same as Escape.
    controller_.keyPressed(DialogKey::Escape);
    event->accept();
}

bool CommandDialog::handleKey(QKeyEvent* event) {
    return controller_.keyPressed(dialogKeyOf(event->key())) == KeyHandling::Consumed;
}

void CommandDialog::refresh() {
    if (controller_.mode() == ListMode::Commands) {
        {
            const QSignalBlocker blocker(commandList_);
            commandList_->clear();
            for (const CommandLine& line : controller_.commandLines()) {
                commandList_->addItem(QString::fromStdString(line.text));
            }
            const int row = controller_.commandSelection();
            if (row >= 0) {
                commandList_->setCurrentRow(row);
            } else if (commandList_->count() > 0) {
                // Current but not selected, so taking the focus later changes nothing
                // and is not mistaken for the user's choice.
                commandList_->setCurrentRow(0, QItemSelectionModel::NoUpdate);
            }
        }
        const bool hadFocus = taskList_->hasFocus();
        commandList_->show();
        taskList_->hide();
        setFocusProxy(commandList_);
        if (hadFocus) {
            commandList_->setFocus(); // keys go on moving the list that is shown
        }
        return;
    }
    fillTaskList();
    {
        const QSignalBlocker blocker(taskList_);
        taskList_->setCurrentRow(controller_.taskSelection());
    }
    taskList_->show();
    commandList_->hide();
    setFocusProxy(taskList_);
    taskList_->setFocus();
}

void CommandDialog::fillTaskList() {
    if (taskListFilled_) {
        return;
    }
    taskListFilled_ = true;
    for (const TopLevelWindow& window : controller_.taskWindows()) {
        taskList_->addItem(
            new QListWidgetItem(taskIcon(window.icon), QString::fromStdString(window.title)));
    }
}

} // namespace zorvexa
