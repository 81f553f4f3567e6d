#include "platform/KeyboardSender.h"

#include <thread>

#include "common/Keystroke.h"
#include "platform/Desktop.h"

namespace zorvexa {

void sleepFor(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

bool sendKeyboardEvent(Desktop& desktop, std::uint16_t key, std::uint16_t modifier1,
                       std::uint16_t modifier2, const Sleeper& sleep) {
    if (key == 0) {
        return false;
    }
    const KeyRecordList list = buildKeystroke(key, modifier1, modifier2);
    for (int attempt = 0; attempt < kKeystrokeAttempts; ++attempt) {
        if (desktop.sendKeyRecords(list.records.data(), list.count) != 0) {
            return true;
        }
        sleep(kKeystrokeRetryDelay);
    }
    return false;
}

} // namespace zorvexa
