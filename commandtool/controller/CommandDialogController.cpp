#include "commandtool/controller/CommandDialogController.h"

#include <utility>

#include "commandtool/controller/TaskWindows.h"
#include "common/Keystroke.h"
#include "platform/DebugSink.h"
#include "platform/KeyboardSender.h"

namespace zorvexa {

std::string cutUtf8(const std::string& text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) {
        return text;
    }
    std::size_t end = maxBytes;
    // Step back over continuation bytes so the cut falls before a whole character.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    return text.substr(0, end);
}

CommandDialogController::CommandDialogController(Desktop& desktop, Scheduler& scheduler)
    : desktop_(desktop), scheduler_(scheduler) {}

void CommandDialogController::start(const std::string& commandsFile) {
    target_ = desktop_.foregroundWindow();
    targetClass_ =
        cutUtf8(target_ != 0 ? desktop_.windowClass(target_) : std::string(), kMaxLineBytes);
    // Without a window in front there is nothing to send commands to; an entry that
    // names no class must not be offered for it.
    if (!targetClass_.empty()) {
        store_.loadCommands(targetClass_, commandsFile);
        reportUnsendableKeys(commandsFile);
    }
    showCommandList();
    scheduler_.callAfter(kInactivityPeriodMs, [this] { inactivityTick(); });
}

void CommandDialogController::reportUnsendableKeys(const std::string& commandsFile) {
    std::vector<KeyMention> keys;
    for (const CommandWindowEntry& entry : store_.windowEntries()) {
        for (const auto& [id, command] : entry.commands) {
            for (const std::string* text : {&command.key, &command.extKey1, &command.extKey2}) {
                keys.push_back({*text, command.line});
            }
        }
    }
    keyWarnings_ = unsendableKeyMessages(commandsFile, keys, keyNames_,
                                         [this](int vk) { return desktop_.canSendKey(vk); });
    for (const std::string& warning : keyWarnings_) {
        debugOutput("Osmerak: " + warning + "\n");
    }
}

void CommandDialogController::showCommandList() {
    mode_ = ListMode::Commands;
    lines_.clear();
    for (const CommandWindowEntry& entry : store_.windowEntries()) {
        for (const auto& [id, command] : entry.commands) {
            lines_.push_back(
                {cutUtf8(" " + command.shortcut + "\t" + command.description, kMaxLineBytes), id});
        }
    }
    if (lines_.empty()) {
        lines_.push_back(
            {cutUtf8("no entries in commands.xml for " + targetClass_, kMaxLineBytes), 0});
        hasCommands_ = false;
        commandSelection_ = -1;
    } else {
        hasCommands_ = true;
        commandSelection_ = 0;
    }
    notifyListChanged();
}

void CommandDialogController::showTaskList() {
    if (!taskListBuilt_) {
        // A desktop that names windows its own way (Wayland) knows the dialog by another id
        // than the toolkit's, and may tell that it is in front only some time after the
        // toolkit has given it the focus. N is pressed in the dialog, so a window of the
        // dialog's class in front now is the dialog itself.
        const WindowId front = desktop_.foregroundWindow();
        const bool frontIsDialog =
            front != 0 && front != target_ && desktop_.windowClass(front) == kOwnWindowClass;
        tasks_ = collectTaskWindows(desktop_.topLevelWindows(),
                                    {ownWindow_, frontIsDialog ? front : WindowId{0}});
    }
    taskListBuilt_ = true;
    mode_ = ListMode::Tasks;
    taskSelection_ = tasks_.empty() ? -1 : 0;
    notifyListChanged();
}

KeyHandling CommandDialogController::keyPressed(DialogKey key) {
    if (ended_) {
        return KeyHandling::Consumed;
    }
    switch (key) {
    case DialogKey::Up:
    case DialogKey::Down:
        activitySeen_ = true;
        return KeyHandling::PassOn;
    case DialogKey::N:
        activitySeen_ = true;
        if (mode_ == ListMode::Commands) {
            showTaskList();
        } else {
            showCommandList();
        }
        return KeyHandling::Consumed;
    case DialogKey::Enter:
        if (mode_ == ListMode::Commands && hasCommands_) {
            executeCommand(commandSelection_);
        } else if (mode_ == ListMode::Tasks && taskListBuilt_) {
            switchToSelectedWindow();
        }
        endDialog(true);
        return KeyHandling::Consumed;
    case DialogKey::Escape:
        endDialog(false);
        return KeyHandling::Consumed;
    case DialogKey::Other:
        break;
    }
    return KeyHandling::PassOn;
}

void CommandDialogController::commandSelectionChanged(int row) {
    if (ended_ || mode_ != ListMode::Commands) {
        return;
    }
    commandSelection_ = row;
    activitySeen_ = true;
}

void CommandDialogController::taskSelectionChanged(int row) {
    if (ended_ || mode_ != ListMode::Tasks) {
        return;
    }
    taskSelection_ = row;
}

void CommandDialogController::executeCommand(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= lines_.size()) {
        return;
    }
    const CommandLine& line = lines_[static_cast<std::size_t>(index)];
    const CommandEntry command = store_.commandById(line.id);
    debugOutput(command.description + "\n");
    if (line.text.empty()) {
        return;
    }
    const auto code = [this](const std::string& text) {
        return static_cast<std::uint16_t>(keyNames_.lookupKey(text) & 0xFFFF);
    };
    const std::uint16_t key = code(command.key);
    const std::uint16_t modifier1 = code(command.extKey1);
    const std::uint16_t modifier2 = code(command.extKey2);
    const KeyRecordList records = buildKeystroke(key, modifier1, modifier2);

    if (target_ != 0) {
        desktop_.requestActivation(target_);
    }
    if (records.count == 0) {
        return; // no key: the command sends nothing
    }
    // The target needs a moment to take the focus before the keys arrive.
    sending_ = true;
    scheduler_.callAfter(kActivationDelayMs,
                         [this, records] { waitForTarget(records, kActivationDelayMs); });
}

void CommandDialogController::waitForTarget(KeyRecordList records, int waitedMs) {
    if (target_ != 0 && desktop_.foregroundWindow() == target_) {
        sendAttempt(records, 1);
        return;
    }
    if (target_ == 0 || waitedMs >= kActivationTimeoutMs) {
        giveUp("target window not in front, command not sent\n");
        return;
    }
    scheduler_.callAfter(kActivationPollMs, [this, records, waitedMs] {
        waitForTarget(records, waitedMs + kActivationPollMs);
    });
}

void CommandDialogController::giveUp(const std::string& why) {
    debugOutput(why);
    if (showNotice) {
        showNotice("The window did not come to the front: nothing was sent.");
    }
    scheduler_.callAfter(kNoticeMs, [this] {
        sending_ = false;
        finish();
    });
}

void CommandDialogController::sendAttempt(KeyRecordList records, int call) {
    // A retry goes only where the first attempt was meant to go.
    if (call > 1 && desktop_.foregroundWindow() != target_) {
        giveUp("target window left the front, command not sent\n");
        return;
    }
    if (desktop_.sendKeyRecords(records.records.data(), records.count) != 0) {
        sending_ = false;
        finish();
        return;
    }
    // The retry rule every program shares, with the waits taken on the event loop.
    if (call < kKeystrokeAttempts) {
        scheduler_.callAfter(static_cast<int>(kKeystrokeRetryDelay.count()),
                             [this, records, call] { sendAttempt(records, call + 1); });
        return;
    }
    debugOutput("SendInput failed after 3 retries\n");
    sending_ = false;
    finish();
}

void CommandDialogController::switchToSelectedWindow() {
    if (taskSelection_ < 0 || static_cast<std::size_t>(taskSelection_) >= tasks_.size()) {
        return;
    }
    // Activation restores a minimised window before bringing it to the front.
    desktop_.requestActivation(tasks_[static_cast<std::size_t>(taskSelection_)].id);
}

void CommandDialogController::inactivityTick() {
    if (ended_) {
        return;
    }
    if (activitySeen_) {
        activitySeen_ = false;
        scheduler_.callAfter(kInactivityPeriodMs, [this] { inactivityTick(); });
        return;
    }
    endDialog(false);
}

void CommandDialogController::endDialog(bool accepted) {
    if (ended_) {
        return;
    }
    ended_ = true;
    if (dialogEnded) {
        dialogEnded(accepted);
    }
    if (!sending_) {
        finish();
    }
}

void CommandDialogController::finish() {
    if (finished_ || !ended_) {
        return;
    }
    finished_ = true;
    if (finished) {
        finished();
    }
}

void CommandDialogController::notifyListChanged() {
    if (listChanged) {
        listChanged();
    }
}

} // namespace zorvexa
