// The gesture configuration in use: config.xml's applications, modes and events, the
// dispatcher that turns the per-frame gesture stream into actions, and the launcher of
// executor threads. A reload builds a new object.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "common/KeyNames.h"
#include "main/control/ActionExecutor.h"
#include "main/control/ConfigLoader.h"
#include "main/control/ConfigModel.h"

namespace zorvexa {

struct AppState;
class Desktop;

struct ControlSettings {
    std::string configPath = "config.xml"; // relative to the working directory
    std::string programDirectory;          // where "EXECUTE" files are looked up
    Sleeper sleep;                         // executor pauses; empty: really sleep
};

class CControlEvents {
  public:
    CControlEvents(AppState& state, std::shared_ptr<Desktop> desktop, ControlSettings settings);
    CControlEvents(const CControlEvents&) = delete;
    CControlEvents& operator=(const CControlEvents&) = delete;

    // Entry for a window class (the foreground window's when empty), falling back to
    // "default"; null when neither exists. Becomes the current application.
    AppEntry* selectApplication(const std::string& className);
    // One frame's gesture (0 for none).
    void dispatch(int dir);
    // Whether the current application's active mode binds an action to dir.
    bool hasAction(int dir) const;
    static int actionTypeOf(const std::string& action);
    void launchAction(int type, int key, int dir, int repeat, int modifier1, int modifier2, int x,
                      int y, const std::string& command);

    const Configuration& configuration() const { return configuration_; }
    // Empty when config.xml was read; otherwise one line naming the file and the reason.
    const std::string& loadError() const { return loadResult_.error; }
    const KeyNameTable& keyNames() const { return keyNames_; }
    // One line for each key of config.xml this desktop cannot send (file, line, name),
    // found when the file was loaded.
    const std::vector<std::string>& keyWarnings() const { return keyWarnings_; }
    AppEntry* currentApp() const { return currentApp_; }
    int currentMode() const { return currentMode_; }
    int modeCount() const { return modeCount_; }
    // Executor threads launched by this object that are still running.
    int runningActions() const;

  private:
    void handleEvent(AppEntry& app, const EventEntry& event, int dir, int previous);
    void showModeCaption(const AppEntry& app, int mode);

    int previousDir_ = 0;
    AppState& state_;
    AppEntry* currentApp_ = nullptr;
    std::vector<std::shared_ptr<std::atomic<bool>>> actionThreads_; // "finished" flags
    KeyNameTable keyNames_;
    Configuration configuration_;
    ConfigLoadResult loadResult_;
    std::vector<std::string> keyWarnings_;
    int currentMode_ = 1;
    int modeCount_ = 1;
    std::string lastForegroundClass_;
    std::shared_ptr<Desktop> desktop_;
    ExecutorEnvironment executorEnv_;
};

} // namespace zorvexa
