#include "tools/analyze/DispatchReport.h"

#include <chrono>
#include <thread>
#include <utility>
#include <vector>

#include "main/shell/AppPaths.h"
#include "main/shell/AppState.h"
#include "platform/fake/FakeDesktop.h"

namespace zorvexa {

namespace {

// First name the table has for a code, or the number.
std::string keyName(const KeyNameTable& names, int code) {
    for (const auto& [name, value] : names.entries())
        if (value == code)
            return name;
    return std::to_string(code);
}

std::string describeRecords(const KeyNameTable& names, const std::vector<KeyRecord>& records) {
    std::string out = "keys";
    for (const KeyRecord& r : records) {
        if (r.flags & kKeyEventKeyUp)
            continue;
        out += (out == "keys" ? " " : "+") + keyName(names, r.vk);
    }
    return out;
}

std::string describeCall(const KeyNameTable& names, const FakeDesktopCall& c) {
    using Kind = FakeDesktopCall::Kind;
    switch (c.kind) {
    case Kind::SendKeyRecords:
        return describeRecords(names, c.records);
    case Kind::PostKey:
        return "arrow key " + keyName(names, c.vk);
    case Kind::MoveMouseRelative:
        return "move pointer by (" + std::to_string(c.x) + ", " + std::to_string(c.y) + ")";
    case Kind::MoveMouseAbsolute:
        return "move pointer to (" + std::to_string(c.x) + ", " + std::to_string(c.y) + ")";
    case Kind::LeftButton:
        return c.down ? "left button down" : "left button up";
    case Kind::ActivateWindow:
        return "activate window";
    case Kind::OpenFile:
        return "open " + c.path;
    }
    return "?";
}

} // namespace

DispatchReport::DispatchReport(AppState& state, const std::string& configPath,
                               std::shared_ptr<Desktop> desktop,
                               std::shared_ptr<FakeDesktop> recorder)
    : state_(state), recorder_(std::move(recorder)) {
    ControlSettings settings;
    settings.configPath = configPath;
    settings.programDirectory = moduleDirectory();
    if (recorder_)
        settings.sleep = [](std::chrono::milliseconds) {}; // a dry run does not wait
    events_ = std::make_unique<CControlEvents>(state_, std::move(desktop), settings);
    events_->selectApplication("");
}

std::unique_ptr<DispatchReport> DispatchReport::dryRun(AppState& state,
                                                       const std::string& configPath,
                                                       const std::string& windowClass) {
    auto fake = std::make_shared<FakeDesktop>();
    fake->setForeground(1, windowClass);
    return std::unique_ptr<DispatchReport>(new DispatchReport(state, configPath, fake, fake));
}

std::unique_ptr<DispatchReport> DispatchReport::live(AppState& state, const std::string& configPath,
                                                     std::shared_ptr<Desktop> desktop) {
    return std::unique_ptr<DispatchReport>(
        new DispatchReport(state, configPath, std::move(desktop), nullptr));
}

std::string DispatchReport::describeEvent(int dir) const {
    const AppEntry* app = events_->currentApp();
    if (!app)
        return "no entry for this window";
    std::string out = "[" + app->windowClass + " mode " + std::to_string(app->modeIndex) + "] ";
    const int slot = slotOfDirection(dir);
    if (app->windowClass == "default" || slot < 0 || app->modeIndex < 0 ||
        static_cast<size_t>(app->modeIndex) >= app->modes.size())
        return out + "built-in or none";
    const EventEntry& e =
        app->modes[static_cast<size_t>(app->modeIndex)].events[static_cast<size_t>(slot)];
    if (e.action.empty() && e.action2.empty())
        return out + "nothing bound";
    out += e.action.empty() ? e.action2 : e.action;
    if (!e.key.empty())
        out += " " + (e.extKey.empty() ? "" : e.extKey + "+") +
               (e.extKey2.empty() ? "" : e.extKey2 + "+") + e.key;
    if (!e.sysCommand.empty())
        out += " " + e.sysCommand;
    return out;
}

std::string DispatchReport::dispatch(int dir) {
    if (dir == 0) {
        events_->dispatch(0);
        return {};
    }
    const std::string modeBefore = state_.modeCaption;
    const bool mouseBefore = state_.mouseMode.load();
    if (!recorder_) {
        const std::string what = describeEvent(dir);
        const int debounce = state_.debounceFrames;
        events_->dispatch(dir);
        return (debounce > 0 ? "ignored (pause after the previous action)" : what);
    }

    recorder_->clearCalls();
    events_->dispatch(dir);
    for (int i = 0; i < 5000 && events_->runningActions() > 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));

    const AppEntry* app = events_->currentApp();
    std::string out = app ? "[" + app->windowClass + "]" : "[no entry]";
    // Repeated identical actions are told once with their count.
    std::vector<std::pair<std::string, int>> done;
    for (const FakeDesktopCall& c : recorder_->calls()) {
        const std::string what = describeCall(events_->keyNames(), c);
        if (!done.empty() && done.back().first == what)
            ++done.back().second;
        else
            done.emplace_back(what, 1);
    }
    std::string actions;
    for (const auto& [what, times] : done)
        actions += (actions.empty() ? " " : ", ") + what +
                   (times > 1 ? " (" + std::to_string(times) + " times)" : "");
    if (state_.modeCaption != modeBefore)
        actions +=
            (actions.empty() ? " " : ", ") + std::string("mode \"") + state_.modeCaption + "\"";
    if (state_.mouseMode.load() && !mouseBefore)
        actions += (actions.empty() ? " " : ", ") + std::string("mouse mode on");
    return out + (actions.empty() ? " nothing" : actions);
}

} // namespace zorvexa
