// Sending one configured keystroke (a key with up to two modifiers) to the focused
// window, with the retry rule every program shares: when the desktop inserts nothing,
// wait 100 ms and try again, four attempts in all.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

namespace zorvexa {

class Desktop;

using Sleeper = std::function<void(std::chrono::milliseconds)>;

// std::this_thread::sleep_for.
void sleepFor(std::chrono::milliseconds duration);

constexpr int kKeystrokeAttempts = 4;
constexpr std::chrono::milliseconds kKeystrokeRetryDelay{100};

// Key 0 sends nothing and makes no desktop call. Otherwise the records of
// buildKeystroke go to Desktop::sendKeyRecords in one batch; a result of 0 is followed
// by one retry delay and another attempt, at most kKeystrokeAttempts attempts; any
// non-zero result ends at once. Returns whether an attempt got through (false for key 0).
bool sendKeyboardEvent(Desktop& desktop, std::uint16_t key, std::uint16_t modifier1,
                       std::uint16_t modifier2, const Sleeper& sleep = sleepFor);

} // namespace zorvexa
