// The adjustable settings of a capture device, as the device reports them, grouped by
// the driver's control classes. Every change goes to the device at once and is read back,
// together with the other controls, as one control can change their value or state (an
// automatic mode makes its manual counterpart inactive).
#pragma once

#include "webcamtool/core/VideoDevice.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zorvexa {

enum class ControlKind {
    Slider,      // integer
    CheckBox,    // boolean
    DropDown,    // menu and integer menu
    PushButton,  // button
    Unsupported, // 64-bit, string, bit mask and compound controls: listed, not adjustable
};

struct ControlChoice {
    std::int32_t value = 0; // the menu index
    std::string label;
};

struct ControlEntry {
    ControlInfo info;
    ControlKind kind = ControlKind::Unsupported;
    std::vector<ControlChoice> choices; // drop-down only
    std::int32_t value = 0;
    bool valueKnown = false;

    bool disabled() const { return (info.flags & control_flags::kDisabled) != 0; }
    bool inactive() const { return (info.flags & control_flags::kInactive) != 0; }
    bool readOnly() const { return (info.flags & control_flags::kReadOnly) != 0; }
    // Whether the user may change it now.
    bool editable() const;
    // Slider range, clamped to 32 bits; a step of 0 counts as 1.
    std::int32_t minimum() const;
    std::int32_t maximum() const;
    std::int32_t step() const;
    std::int32_t defaultValue() const;
};

struct ControlGroup {
    std::uint32_t controlClass = 0;
    std::string name;
    std::vector<size_t> entries; // indexes into ControlModel::entries()
};

// The class a control id belongs to.
constexpr std::uint32_t controlClassOf(std::uint32_t id) {
    return id & 0x0FFF0000u;
}

// Name for a control class that the driver reports without a heading.
std::string defaultClassName(std::uint32_t controlClass);

ControlKind controlKindOf(ControlType type);

class ControlModel {
  public:
    explicit ControlModel(VideoDevice& device) : device_(device) {}

    // Lists every control of the device with its menu entries and current value.
    void load();
    // Reads flags, ranges and values of the listed controls again.
    void refresh();

    // Writes a value and reads it back with every other control (flags, range, value);
    // false when the device refused the value.
    bool setValue(std::uint32_t id, std::int32_t value);
    // Triggers a button control.
    bool press(std::uint32_t id);
    // Puts every adjustable control back to the driver's default, in the driver's order,
    // skipping controls that an earlier reset made inactive. False if any write failed.
    bool resetToDefaults();

    const std::vector<ControlEntry>& entries() const { return entries_; }
    const std::vector<ControlGroup>& groups() const { return groups_; }
    const ControlEntry* find(std::uint32_t id) const;

  private:
    void addControl(const ControlInfo& info);
    void loadChoices(ControlEntry& entry);
    void readValue(ControlEntry& entry);
    void refreshEntry(ControlEntry& entry);
    ControlEntry* findMutable(std::uint32_t id);

    VideoDevice& device_;
    std::vector<ControlEntry> entries_;
    std::vector<ControlGroup> groups_;
    std::vector<std::pair<std::uint32_t, std::string>> classNames_;
};

} // namespace zorvexa
