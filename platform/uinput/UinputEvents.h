// The event stream of a uinput device: evdev events written to a file descriptor, each
// group closed by a SYN_REPORT so the compositor reads it as one input frame.
#pragma once

#include <cstdint>

namespace zorvexa {

class UinputEvents {
  public:
    explicit UinputEvents(int fd) : fd_(fd) {}

    // One key press or release (evdev code), then a report. False when the write fails.
    bool key(std::uint16_t code, bool down);
    // A relative pointer move in one report; nothing is written for (0, 0).
    bool relative(int dx, int dy);

  private:
    bool write(std::uint16_t type, std::uint16_t code, std::int32_t value);
    int fd_;
};

} // namespace zorvexa
