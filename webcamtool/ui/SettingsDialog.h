// The settings dialog: one page per control class of the device, one row per control
// (integer: slider with its value, boolean: check box, menu: drop-down, button: push
// button), a "Reset to defaults" button and a "Close" button. Each change goes to the
// device at once; afterwards every row shows what the device reports, including controls
// that became inactive through the change.
#pragma once

#include "webcamtool/core/ControlModel.h"

#include <QDialog>

#include <cstdint>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class QWidget;
class QGridLayout;

namespace zorvexa {

class SettingsDialog : public QDialog {
    Q_OBJECT

  public:
    SettingsDialog(ControlModel& model, const QString& title, QWidget* parent = nullptr);

    // Shows the model's current state in every row.
    void syncFromModel();

  private:
    struct Row {
        std::uint32_t id = 0;
        QLabel* label = nullptr;
        QWidget* editor = nullptr;
        QSlider* slider = nullptr;
        QLabel* valueLabel = nullptr;
        QCheckBox* checkBox = nullptr;
        QComboBox* comboBox = nullptr;
        QPushButton* button = nullptr;
    };

    QWidget* buildPage(const ControlGroup& group);
    void addRow(QGridLayout* grid, int line, const ControlEntry& entry);
    void syncRow(Row& row, const ControlEntry& entry);
    void apply(std::uint32_t id, std::int32_t value);
    void resetToDefaults();

    ControlModel& model_;
    std::vector<Row> rows_;
    int nameWidth_ = 0;
    int valueWidth_ = 0;
};

} // namespace zorvexa
