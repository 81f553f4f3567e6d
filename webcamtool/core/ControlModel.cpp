#include "webcamtool/core/ControlModel.h"

#include "webcamtool/core/Log.h"

#include <algorithm>
#include <limits>

namespace zorvexa {

namespace {

// Upper bounds that protect against drivers reporting nonsense.
constexpr int kMaxControls = 1024;
constexpr std::int64_t kMaxMenuEntries = 256;

// Ranges tried one id at a time with drivers that cannot list their controls in order.
struct IdRange {
    std::uint32_t first;
    std::uint32_t last;
};
constexpr IdRange kUserRange{0x00980900u, 0x00980940u};
constexpr IdRange kCameraRange{0x009A0900u, 0x009A0940u};
constexpr std::uint32_t kPrivateBase = 0x08000000u;

std::int32_t clamp32(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

} // namespace

bool ControlEntry::editable() const {
    if (disabled() || readOnly() || inactive())
        return false;
    switch (kind) {
    case ControlKind::Slider:
    case ControlKind::CheckBox:
    case ControlKind::PushButton:
        return true;
    case ControlKind::DropDown:
        return !choices.empty();
    case ControlKind::Unsupported:
        break;
    }
    return false;
}

std::int32_t ControlEntry::minimum() const {
    return clamp32(info.minimum);
}
std::int32_t ControlEntry::maximum() const {
    return std::max(minimum(), clamp32(info.maximum));
}
std::int32_t ControlEntry::step() const {
    return info.step > 0 ? clamp32(info.step) : 1;
}
std::int32_t ControlEntry::defaultValue() const {
    return clamp32(info.defaultValue);
}

std::string defaultClassName(std::uint32_t controlClass) {
    switch (controlClass) {
    case 0x00980000u:
        return "User Controls";
    case 0x00990000u:
        return "Codec Controls";
    case 0x009A0000u:
        return "Camera Controls";
    case 0x009C0000u:
        return "Flash Controls";
    case 0x009E0000u:
        return "Image Source Controls";
    case 0x009F0000u:
        return "Image Processing Controls";
    case 0x08000000u:
        return "Private Controls";
    default:
        break;
    }
    return "Other Controls";
}

ControlKind controlKindOf(ControlType type) {
    switch (type) {
    case ControlType::Integer:
        return ControlKind::Slider;
    case ControlType::Boolean:
        return ControlKind::CheckBox;
    case ControlType::Menu:
    case ControlType::IntegerMenu:
        return ControlKind::DropDown;
    case ControlType::Button:
        return ControlKind::PushButton;
    default:
        break;
    }
    return ControlKind::Unsupported;
}

void ControlModel::load() {
    entries_.clear();
    groups_.clear();
    classNames_.clear();

    ControlInfo info;
    std::uint32_t id = 0;
    int listed = 0;
    while (listed < kMaxControls && device_.queryControl(id, true, info)) {
        if (info.id <= id && id != 0)
            break; // a driver that does not advance would loop for ever
        addControl(info);
        id = info.id;
        ++listed;
    }
    if (listed == 0) {
        for (IdRange range : {kUserRange, kCameraRange})
            for (std::uint32_t probe = range.first; probe <= range.last; ++probe)
                if (device_.queryControl(probe, false, info))
                    addControl(info);
        for (std::uint32_t probe = kPrivateBase;
             probe < kPrivateBase + kMaxControls && device_.queryControl(probe, false, info);
             ++probe)
            addControl(info);
    }

    // Group names: the driver's own class headings where it has them.
    for (ControlGroup& group : groups_) {
        group.name = defaultClassName(group.controlClass);
        for (const auto& [cls, name] : classNames_)
            if (cls == group.controlClass && !name.empty())
                group.name = name;
    }
}

void ControlModel::addControl(const ControlInfo& info) {
    if (info.type == ControlType::ControlClass) {
        classNames_.emplace_back(controlClassOf(info.id), info.name);
        return;
    }
    if (find(info.id) != nullptr)
        return;
    ControlEntry entry;
    entry.info = info;
    entry.kind = controlKindOf(info.type);
    loadChoices(entry);
    readValue(entry);
    entries_.push_back(std::move(entry));

    const std::uint32_t cls = controlClassOf(info.id);
    auto group = std::find_if(groups_.begin(), groups_.end(),
                              [cls](const ControlGroup& g) { return g.controlClass == cls; });
    if (group == groups_.end()) {
        groups_.push_back(ControlGroup{cls, std::string(), {}});
        group = groups_.end() - 1;
    }
    group->entries.push_back(entries_.size() - 1);
}

void ControlModel::loadChoices(ControlEntry& entry) {
    entry.choices.clear();
    if (entry.kind != ControlKind::DropDown)
        return;
    const std::int64_t first = std::max<std::int64_t>(entry.info.minimum, 0);
    const std::int64_t last =
        std::min<std::int64_t>(entry.info.maximum, first + kMaxMenuEntries - 1);
    for (std::int64_t index = first; index <= last; ++index) {
        MenuItem item;
        // Menus may have gaps: indexes the driver does not answer are left out.
        if (!device_.queryMenu(entry.info.id, static_cast<std::uint32_t>(index), item))
            continue;
        ControlChoice choice;
        choice.value = static_cast<std::int32_t>(index);
        choice.label =
            entry.info.type == ControlType::IntegerMenu ? std::to_string(item.value) : item.name;
        entry.choices.push_back(std::move(choice));
    }
}

void ControlModel::readValue(ControlEntry& entry) {
    const bool readable = entry.kind == ControlKind::Slider ||
                          entry.kind == ControlKind::CheckBox ||
                          entry.kind == ControlKind::DropDown;
    if (!readable || (entry.info.flags & control_flags::kWriteOnly) != 0) {
        entry.value = entry.defaultValue();
        entry.valueKnown = false;
        return;
    }
    std::int32_t value = 0;
    entry.valueKnown = device_.getControl(entry.info.id, value);
    entry.value = entry.valueKnown ? value : entry.defaultValue();
}

void ControlModel::refresh() {
    for (ControlEntry& entry : entries_)
        refreshEntry(entry);
}

void ControlModel::refreshEntry(ControlEntry& entry) {
    ControlInfo info;
    if (device_.queryControl(entry.info.id, false, info) && info.id == entry.info.id) {
        const bool rangeChanged =
            info.minimum != entry.info.minimum || info.maximum != entry.info.maximum;
        entry.info = info;
        entry.kind = controlKindOf(info.type);
        if (rangeChanged)
            loadChoices(entry);
    }
    readValue(entry);
}

bool ControlModel::setValue(std::uint32_t id, std::int32_t value) {
    ControlEntry* entry = findMutable(id);
    if (entry == nullptr)
        return false;
    const bool ok = device_.setControl(id, value);
    if (!ok)
        logLine("the device refused " + entry->info.name + " = " + std::to_string(value));
    // Every control is read again: a change can make others active, inactive or change
    // their range, and most drivers (UVC among them) never flag the controls that do.
    refresh();
    return ok;
}

bool ControlModel::press(std::uint32_t id) {
    const ControlEntry* entry = find(id);
    if (entry == nullptr || entry->kind != ControlKind::PushButton)
        return false;
    return setValue(id, 0);
}

bool ControlModel::resetToDefaults() {
    bool allOk = true;
    for (ControlEntry& entry : entries_) {
        if (entry.kind == ControlKind::PushButton || entry.kind == ControlKind::Unsupported)
            continue;
        // An earlier reset in this loop may have changed this control's state.
        ControlInfo info;
        if (device_.queryControl(entry.info.id, false, info) && info.id == entry.info.id)
            entry.info = info;
        readValue(entry);
        if (!entry.editable() || (entry.valueKnown && entry.value == entry.defaultValue()))
            continue;
        if (!device_.setControl(entry.info.id, entry.defaultValue())) {
            logLine("the device refused the default of " + entry.info.name);
            allOk = false;
        }
    }
    refresh();
    return allOk;
}

const ControlEntry* ControlModel::find(std::uint32_t id) const {
    for (const ControlEntry& entry : entries_)
        if (entry.info.id == id)
            return &entry;
    return nullptr;
}

ControlEntry* ControlModel::findMutable(std::uint32_t id) {
    for (ControlEntry& entry : entries_)
        if (entry.info.id == id)
            return &entry;
    return nullptr;
}

} // namespace zorvexa
