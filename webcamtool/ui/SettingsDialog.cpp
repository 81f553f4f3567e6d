#include "webcamtool/ui/SettingsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

namespace zorvexa {

namespace {

// Sliders run over step positions, so every position is a value the device accepts.
int positionCount(const ControlEntry& e) {
    const std::int64_t span = (static_cast<std::int64_t>(e.maximum()) - e.minimum()) / e.step();
    return static_cast<int>(std::min<std::int64_t>(span, INT_MAX));
}

std::int32_t valueAt(const ControlEntry& e, int position) {
    const std::int64_t v =
        static_cast<std::int64_t>(e.minimum()) + static_cast<std::int64_t>(position) * e.step();
    return static_cast<std::int32_t>(std::min<std::int64_t>(v, e.maximum()));
}

int positionOf(const ControlEntry& e, std::int32_t value) {
    const std::int64_t offset = static_cast<std::int64_t>(value) - e.minimum();
    const std::int64_t pos = (offset + e.step() / 2) / e.step();
    return static_cast<int>(std::clamp<std::int64_t>(pos, 0, positionCount(e)));
}

QString stateHint(const ControlEntry& e) {
    if (e.disabled())
        return QStringLiteral("Disabled by the driver");
    if (e.readOnly())
        return QStringLiteral("Read-only");
    if (e.inactive())
        return QStringLiteral("Not in use with the current settings");
    if (e.kind == ControlKind::Unsupported)
        return QStringLiteral("This kind of setting cannot be changed here");
    return QString();
}

} // namespace

SettingsDialog::SettingsDialog(ControlModel& model, const QString& title, QWidget* parent)
    : QDialog(parent), model_(model) {
    setWindowTitle(title);
    setModal(true);

    // The same column widths on every page, so sliders line up when switching pages.
    const QFontMetrics fm = fontMetrics();
    for (const ControlEntry& entry : model_.entries()) {
        if (entry.kind == ControlKind::PushButton)
            continue;
        nameWidth_ =
            std::max(nameWidth_, fm.horizontalAdvance(QString::fromStdString(entry.info.name)));
        if (entry.kind == ControlKind::Slider)
            valueWidth_ =
                std::max({valueWidth_, fm.horizontalAdvance(QString::number(entry.minimum())),
                          fm.horizontalAdvance(QString::number(entry.maximum()))});
    }

    auto* tabs = new QTabWidget(this);
    for (const ControlGroup& group : model_.groups())
        tabs->addTab(buildPage(group), QString::fromStdString(group.name));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* reset =
        buttons->addButton(QStringLiteral("Reset to defaults"), QDialogButtonBox::ResetRole);
    connect(reset, &QPushButton::clicked, this, &SettingsDialog::resetToDefaults);
    reset->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttons);

    syncFromModel();
    setMinimumWidth(460);
    tabs->setFocus();
}

QWidget* SettingsDialog::buildPage(const ControlGroup& group) {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(0, nameWidth_);
    grid->setColumnMinimumWidth(2, valueWidth_);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(8);
    int line = 0;
    for (size_t index : group.entries)
        addRow(grid, line++, model_.entries()[index]);
    grid->setRowStretch(line, 1);

    // Devices with many controls scroll instead of growing past the screen.
    auto* scroll = new QScrollArea;
    scroll->setWidget(page);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->viewport()->setAutoFillBackground(false);
    page->setAutoFillBackground(false);
    const int rowsShown = std::min(line, 12);
    scroll->setMinimumHeight(page->sizeHint().height() * rowsShown / std::max(line, 1));
    return scroll;
}

void SettingsDialog::addRow(QGridLayout* grid, int line, const ControlEntry& entry) {
    Row row;
    row.id = entry.info.id;
    const QString name = QString::fromStdString(entry.info.name);
    const std::uint32_t id = entry.info.id;

    if (entry.kind != ControlKind::PushButton) {
        row.label = new QLabel(name);
        grid->addWidget(row.label, line, 0);
    }

    switch (entry.kind) {
    case ControlKind::Slider: {
        row.slider = new QSlider(Qt::Horizontal);
        row.slider->setRange(0, positionCount(entry));
        row.slider->setPageStep(std::max(1, positionCount(entry) / 10));
        row.slider->setAccessibleName(name);
        row.valueLabel = new QLabel;
        row.valueLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        row.editor = row.slider;
        grid->addWidget(row.slider, line, 1);
        grid->addWidget(row.valueLabel, line, 2);
        connect(row.slider, &QSlider::valueChanged, this, [this, id](int position) {
            const ControlEntry* e = model_.find(id);
            if (e != nullptr)
                apply(id, valueAt(*e, position));
        });
        break;
    }
    case ControlKind::CheckBox:
        row.checkBox = new QCheckBox;
        row.checkBox->setAccessibleName(name);
        row.editor = row.checkBox;
        grid->addWidget(row.checkBox, line, 1);
        connect(row.checkBox, &QCheckBox::toggled, this,
                [this, id](bool on) { apply(id, on ? 1 : 0); });
        break;
    case ControlKind::DropDown:
        row.comboBox = new QComboBox;
        row.comboBox->setAccessibleName(name);
        for (const ControlChoice& choice : entry.choices)
            row.comboBox->addItem(QString::fromStdString(choice.label), choice.value);
        row.editor = row.comboBox;
        grid->addWidget(row.comboBox, line, 1, 1, 2);
        connect(row.comboBox, QOverload<int>::of(&QComboBox::activated), this,
                [this, id, box = row.comboBox](int index) {
                    if (index >= 0)
                        apply(id, box->itemData(index).toInt());
                });
        break;
    case ControlKind::PushButton:
        row.button = new QPushButton(name);
        row.editor = row.button;
        grid->addWidget(row.button, line, 1, 1, 1, Qt::AlignLeft);
        connect(row.button, &QPushButton::clicked, this, [this, id] {
            model_.press(id);
            syncFromModel();
        });
        break;
    case ControlKind::Unsupported:
        row.editor = new QLabel(QStringLiteral("(not adjustable here)"));
        grid->addWidget(row.editor, line, 1, 1, 2);
        break;
    }
    rows_.push_back(row);
}

void SettingsDialog::syncFromModel() {
    for (Row& row : rows_) {
        const ControlEntry* entry = model_.find(row.id);
        if (entry != nullptr)
            syncRow(row, *entry);
    }
}

void SettingsDialog::syncRow(Row& row, const ControlEntry& entry) {
    const bool enabled = entry.editable();
    const QString hint = stateHint(entry);
    for (QWidget* w :
         {static_cast<QWidget*>(row.label), row.editor, static_cast<QWidget*>(row.valueLabel)}) {
        if (w == nullptr)
            continue;
        w->setEnabled(enabled);
        w->setToolTip(hint);
    }
    if (row.slider != nullptr) {
        const QSignalBlocker block(row.slider);
        row.slider->setValue(positionOf(entry, entry.value));
        row.valueLabel->setText(entry.valueKnown ? QString::number(entry.value) : QString());
    }
    if (row.checkBox != nullptr) {
        const QSignalBlocker block(row.checkBox);
        row.checkBox->setChecked(entry.value != 0);
    }
    if (row.comboBox != nullptr) {
        const QSignalBlocker block(row.comboBox);
        row.comboBox->setCurrentIndex(row.comboBox->findData(entry.value));
    }
}

void SettingsDialog::apply(std::uint32_t id, std::int32_t value) {
    model_.setValue(id, value);
    syncFromModel();
}

void SettingsDialog::resetToDefaults() {
    model_.resetToDefaults();
    syncFromModel();
}

} // namespace zorvexa
