// What the command selection dialog does, apart from drawing: the target window, the
// command list built from commands.xml, the task list, the keys, the inactivity timer and
// the execution of the chosen command. The dialog widget only shows what this class says
// and forwards keys and selection changes, so all of it runs without a display.
//
// Keys: Up and Down count as activity (the list itself moves the selection); N switches
// between the command list and the task list; Enter executes the selected command or
// switches to the selected window and ends the dialog; Escape ends it. A command's chord
// is sent only once the target window is confirmed in front (it may have closed, or the
// window manager may refuse): otherwise nothing is sent and the dialog says so. Without activity
// the dialog ends itself between 10 and 20 seconds after the last key.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "commandtool/controller/Scheduler.h"
#include "commandtool/store/CommandStore.h"
#include "common/KeyNames.h"
#include "platform/Desktop.h"

namespace zorvexa {

enum class ListMode { Commands, Tasks };

enum class DialogKey { Up, Down, N, Enter, Escape, Other };

// What the widget does with a key after the controller has seen it.
enum class KeyHandling {
    PassOn,  // the list's own handling follows (moving the selection)
    Consumed // nothing else happens
};

// One line of the command list; id 0 for the no-entries line.
struct CommandLine {
    std::string text;
    std::int32_t id = 0;
};

class CommandDialogController {
  public:
    static constexpr int kInactivityPeriodMs = 10000;
    static constexpr int kActivationDelayMs = 200;
    // After the delay, the target is looked for in front every poll period until this
    // long after Enter; the chord goes only to the target.
    static constexpr int kActivationPollMs = 50;
    static constexpr int kActivationTimeoutMs = 1000;
    // How long the dialog shows why nothing was sent before the program ends.
    static constexpr int kNoticeMs = 1500;
    static constexpr std::size_t kMaxLineBytes = 999;

    CommandDialogController(Desktop& desktop, Scheduler& scheduler);

    // The view's notifications. listChanged: mode, lines, tasks or selection changed.
    // dialogEnded: hide the dialog (accepted = Enter). finished: nothing is left to do,
    // the program may end (always after dialogEnded).
    std::function<void()> listChanged;
    std::function<void(bool accepted)> dialogEnded;
    std::function<void()> finished;
    // Shows a short message in the dialog (after dialogEnded: shown again for it).
    std::function<void(const std::string&)> showNotice;

    // Takes the window in front as the target (call before the dialog is shown), loads
    // the commands for its class, fills the command list and starts the inactivity timer.
    void start(const std::string& commandsFile = CommandStore::kDefaultFileName);

    // The class of the dialog's own window.
    static constexpr const char* kOwnWindowClass = "Osmerak";

    // The dialog's own window, left out of the task list, as is a window of the dialog's
    // class in front when the list is built.
    void setOwnWindow(WindowId window) { ownWindow_ = window; }

    KeyHandling keyPressed(DialogKey key);
    // A selection change made by the user in the command list (keyboard or mouse).
    void commandSelectionChanged(int row);
    // A selection change in the task list (does not count as activity).
    void taskSelectionChanged(int row);

    void showCommandList();
    void showTaskList();
    void executeCommand(int index);
    void switchToSelectedWindow();

    ListMode mode() const { return mode_; }
    const std::vector<CommandLine>& commandLines() const { return lines_; }
    int commandSelection() const { return commandSelection_; }
    const std::vector<TopLevelWindow>& taskWindows() const { return tasks_; }
    int taskSelection() const { return taskSelection_; }
    bool hasCommands() const { return hasCommands_; }
    bool taskListBuilt() const { return taskListBuilt_; }
    bool activitySeen() const { return activitySeen_; }
    bool ended() const { return ended_; }
    WindowId targetWindow() const { return target_; }
    const std::string& targetClass() const { return targetClass_; }
    const CommandStore& store() const { return store_; }
    // Keys of the loaded commands this desktop cannot send (file, line, name).
    const std::vector<std::string>& keyWarnings() const { return keyWarnings_; }

  private:
    void reportUnsendableKeys(const std::string& commandsFile);
    void inactivityTick();
    void endDialog(bool accepted);
    void waitForTarget(KeyRecordList records, int waitedMs);
    void sendAttempt(KeyRecordList records, int call);
    void giveUp(const std::string& why);
    void finish();
    void notifyListChanged();

    Desktop& desktop_;
    Scheduler& scheduler_;
    KeyNameTable keyNames_;
    CommandStore store_;

    WindowId target_ = 0;
    WindowId ownWindow_ = 0;
    std::string targetClass_;
    ListMode mode_ = ListMode::Commands;
    std::vector<CommandLine> lines_;
    std::vector<std::string> keyWarnings_;
    int commandSelection_ = -1;
    std::vector<TopLevelWindow> tasks_;
    int taskSelection_ = -1;

    bool activitySeen_ = false;
    bool hasCommands_ = false;
    bool taskListBuilt_ = false;
    bool ended_ = false;
    bool finished_ = false;
    bool sending_ = false;
};

// Cuts UTF-8 text to at most `maxBytes` bytes without splitting a character.
std::string cutUtf8(const std::string& text, std::size_t maxBytes);

} // namespace zorvexa
