#include "main/control/CControlEvents.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/NumberText.h"
#include "main/control/ExecutorThreads.h"
#include "main/motion/MotionDir.h"
#include "main/shell/AppState.h"
#include "platform/DebugSink.h"
#include "platform/Desktop.h"

namespace zorvexa {

namespace {

constexpr int kVkLeft = 37, kVkUp = 38, kVkRight = 39, kVkDown = 40;

// Key the "default" entry presses for a direction, 0 for none.
int defaultArrowKey(int dir) {
    switch (dir) {
    case kDirUp:
        return kVkUp;
    case kDirDown:
        return kVkDown;
    case kDirRightToLeft:
        return kVkLeft;
    case kDirLeftToRight:
        return kVkRight;
    default:
        return 0;
    }
}

// A movement times the factor, truncated toward zero; saturates instead of overflowing
// for huge or non-finite factors a hand-edited file can produce.
int scaledMovement(int value, float factor) {
    const double v = static_cast<double>(static_cast<float>(value) * factor);
    if (std::isnan(v))
        return 0;
    if (v >= 2147483647.0)
        return std::numeric_limits<int>::max();
    if (v <= -2147483648.0)
        return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

// A real from the file in single precision; values beyond its range become infinite
// instead of relying on an undefined conversion.
float toSinglePrecision(double v) {
    if (v > std::numeric_limits<float>::max())
        return std::numeric_limits<float>::infinity();
    if (v < -std::numeric_limits<float>::max())
        return -std::numeric_limits<float>::infinity();
    return static_cast<float>(v);
}

} // namespace

CControlEvents::CControlEvents(AppState& state, std::shared_ptr<Desktop> desktop,
                               ControlSettings settings)
    : state_(state), desktop_(std::move(desktop)) {
    const bool beginner = state_.useBeginnerSettings.load();
    currentMode_ = beginner ? 0 : 1;
    executorEnv_.desktop = desktop_;
    executorEnv_.programDirectory = std::move(settings.programDirectory);
    executorEnv_.sleep = std::move(settings.sleep);
    loadResult_ = loadConfiguration(settings.configPath, beginner, configuration_);
    if (!loadResult_.ok)
        debugOutput(loadResult_.error + "\n");
    keyWarnings_ =
        unsendableKeyMessages(settings.configPath, loadResult_.keys, keyNames_, [this](int vk) {
            return desktop_ != nullptr && desktop_->canSendKey(vk);
        });
    for (const std::string& warning : keyWarnings_)
        debugOutput(warning + "\n");
}

int CControlEvents::actionTypeOf(const std::string& action) {
    if (action == "WM_KEYDOWN")
        return kActionKeyDown;
    if (action == "MOUSEEVENTF_MOVE")
        return kActionMouseMove;
    if (action == "MOUSEEVENTF_LEFTDOWN")
        return kActionLeftClick;
    if (action == "EXECUTE")
        return kActionExecute;
    if (action == "SWITCHMODE")
        return kActionSwitchMode;
    return kActionOther;
}

AppEntry* CControlEvents::selectApplication(const std::string& className) {
    const std::string name = className.empty() ? desktop_->foregroundClass() : className;
    auto& apps = configuration_.apps;
    auto it = apps.find(name);
    if (it == apps.end())
        it = apps.find("default");
    currentApp_ = it == apps.end() ? nullptr : &it->second;
    return currentApp_;
}

void CControlEvents::showModeCaption(const AppEntry& app, int mode) {
    if (mode >= 0 && static_cast<size_t>(mode) < app.modes.size())
        state_.modeCaption = app.modes[static_cast<size_t>(mode)].desc;
}

void CControlEvents::dispatch(int dir) {
    if (state_.debounceFrames > 0)
        --state_.debounceFrames;
    if (dir == 0) {
        previousDir_ = 0;
        return;
    }
    const std::string foreground = desktop_->foregroundClass();
    AppEntry* app = selectApplication(foreground);
    if (!app) {
        previousDir_ = dir;
        return;
    }
    if (foreground != lastForegroundClass_) {
        currentMode_ = app->modeIndex;
        lastForegroundClass_ = foreground;
    }
    if (state_.useBeginnerSettings.load())
        currentMode_ = 0;
    if (app->modes.empty() || app->modeIndex < 0 ||
        static_cast<size_t>(app->modeIndex) >= app->modes.size()) {
        previousDir_ = dir;
        return;
    }
    const ModeEntry& active = app->modes[static_cast<size_t>(app->modeIndex)];
    showModeCaption(*app, currentMode_);
    modeCount_ = static_cast<int>(app->modes.size());

    if (app->windowClass == "default") {
        if (const int key = defaultArrowKey(dir))
            desktop_->postKeyToForeground(key);
    } else if (const int slot = slotOfDirection(dir); slot >= 0) {
        // Copy: a mode switch inside handleEvent must not change the event under it.
        const EventEntry event = active.events[static_cast<size_t>(slot)];
        handleEvent(*app, event, dir, previousDir_);
    }
    previousDir_ = dir;
}

void CControlEvents::handleEvent(AppEntry& app, const EventEntry& event, int dir, int previous) {
    if (state_.debounceFrames != 0)
        return;

    if (state_.accelerationDirection != dir) {
        state_.accelerationDirection = dir;
        state_.accelerationFactor = 1.0f;
    } else {
        const float a = toSinglePrecision(readLeadingReal(event.acceleration));
        const float m = toSinglePrecision(readLeadingReal(event.max_acceleration));
        if (m > state_.accelerationFactor)
            state_.accelerationFactor *= a;
        else
            state_.accelerationFactor = m;
    }

    if (event.retriggrable == "false" && dir == previous)
        return;
    if (event.action == "MOUSEMODE")
        state_.mouseMode.store(true);

    const bool beginner = state_.useBeginnerSettings.load();
    if (event.action == "SWITCHMODE" || event.action2 == "SWITCHMODE") {
        ++currentMode_;
        if (currentMode_ >= modeCount_)
            currentMode_ = beginner ? 0 : 1;
        app.modeIndex = currentMode_;
        showModeCaption(app, currentMode_);
    }
    if (event.action == "REVERSE_SWITCHMODE") {
        --currentMode_;
        if (currentMode_ < 1)
            currentMode_ = modeCount_ - 1;
        app.modeIndex = currentMode_;
        showModeCaption(app, currentMode_);
    }
    if (event.action.empty())
        return;

    debugOutput(event.debounce + "\n");
    // A negative pause means none.
    state_.debounceFrames = std::max(0, readLeadingInt(event.debounce));
    const int fps = state_.fps.load();
    if (fps > 0)
        state_.debounceFrames =
            static_cast<int>(static_cast<long long>(state_.debounceFrames) * fps / 30);

    const int type = actionTypeOf(event.action);
    if (type == kActionExecute && state_.lastActionType == kActionExecute &&
        static_cast<long long>(state_.frameCounter.load()) - state_.lastActionFrame <= 30)
        return;

    const int key = keyNames_.lookupKey(event.key);
    const int modifier1 = keyNames_.lookupKey(event.extKey);
    const int modifier2 = keyNames_.lookupKey(event.extKey2);
    const int repeat = readLeadingInt(event.repeat);
    const int x = scaledMovement(readLeadingInt(event.x), state_.accelerationFactor);
    const int y = scaledMovement(readLeadingInt(event.y), state_.accelerationFactor);
    launchAction(type, key, dir, repeat, modifier1, modifier2, x, y, event.sysCommand);
}

void CControlEvents::launchAction(int type, int key, int dir, int repeat, int modifier1,
                                  int modifier2, int x, int y, const std::string& command) {
    ActionParam param;
    param.type = type;
    param.key = key & 0xFFFF;
    param.repeat = repeat;
    param.dir = dir;
    param.modifier1 = static_cast<std::uint8_t>(modifier1 & 0xFF);
    param.modifier2 = static_cast<std::uint8_t>(modifier2 & 0xFF);
    param.x = x;
    param.y = y;
    param.command = command;

    g_currentdir.store(dir);
    auto finished = std::make_shared<std::atomic<bool>>(false);
    if (launchExecutor([param = std::move(param), env = executorEnv_, finished]() mutable {
            // Marked finished however the body ends.
            struct Finish {
                std::shared_ptr<std::atomic<bool>> flag;
                ~Finish() { flag->store(true); }
            } finish{finished};
            postMessageThread(std::move(param), env);
        }))
        actionThreads_.push_back(finished);
    actionThreads_.erase(std::remove_if(actionThreads_.begin(), actionThreads_.end(),
                                        [](const auto& f) { return f->load(); }),
                         actionThreads_.end());
    state_.lastActionType = type;
    state_.lastActionFrame = state_.frameCounter.load();
}

int CControlEvents::runningActions() const {
    return static_cast<int>(std::count_if(actionThreads_.begin(), actionThreads_.end(),
                                          [](const auto& f) { return !f->load(); }));
}

bool CControlEvents::hasAction(int dir) const {
    if (!currentApp_ || currentApp_->modes.empty() || currentApp_->modeIndex < 0 ||
        static_cast<size_t>(currentApp_->modeIndex) >= currentApp_->modes.size())
        return false;
    const int slot = slotOfDirection(dir);
    if (slot < 0)
        return false;
    return !currentApp_->modes[static_cast<size_t>(currentApp_->modeIndex)]
                .events[static_cast<size_t>(slot)]
                .action.empty();
}

} // namespace zorvexa
