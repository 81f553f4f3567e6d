// Carries out a fired event on a thread of its own: keystrokes, pointer movement and
// clicks, or opening a file, repeated as asked and cut short when a newer action for
// another direction is launched.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/KeyboardSender.h"

namespace zorvexa {

class Desktop;

// Action codes of the "action" keywords.
enum ActionType : int {
    kActionOther = 0,
    kActionMouseMove = 1,
    kActionLeftClick = 2,
    kActionKeyDown = 256,
    kActionExecute = 199990,
    kActionSwitchMode = 199991,
};

// Longest "sysCommand" an action carries; a longer one is refused, never cut.
constexpr size_t kMaxCommandLength = 999;

struct ActionParam {
    int type = 0;
    int key = 0;    // virtual-key code, 0 for none
    int repeat = 0; // repetitions, 0 meaning 1
    int dir = 0;
    std::uint8_t modifier1 = 0;
    std::uint8_t modifier2 = 0;
    int x = 0;
    int y = 0;
    std::string command;
};

// What an executor thread needs besides its parameters. Copied into every thread, so a
// thread never refers back to the object that launched it.
struct ExecutorEnvironment {
    std::shared_ptr<Desktop> desktop;
    std::string programDirectory; // folder "EXECUTE" files are looked up in
    Sleeper sleep;                // empty: really sleep
};

// Direction of the most recent launch; executor threads stop when it moves on.
extern std::atomic<int> g_currentdir;

// The thread body. Runs the action param.repeat times (once for 0, never when negative).
void postMessageThread(ActionParam param, const ExecutorEnvironment& env);

} // namespace zorvexa
