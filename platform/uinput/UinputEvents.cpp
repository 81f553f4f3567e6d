#include "platform/uinput/UinputEvents.h"

#include <unistd.h>

#include <cerrno>

#include <linux/input.h>

namespace zorvexa {

bool UinputEvents::write(std::uint16_t type, std::uint16_t code, std::int32_t value) {
    input_event event{};
    event.type = type;
    event.code = code;
    event.value = value; // the kernel stamps the time
    for (;;) {
        const ssize_t written = ::write(fd_, &event, sizeof event);
        if (written == static_cast<ssize_t>(sizeof event)) {
            return true;
        }
        if (written < 0 && errno == EINTR) {
            continue;
        }
        return false;
    }
}

bool UinputEvents::key(std::uint16_t code, bool down) {
    return write(EV_KEY, code, down ? 1 : 0) && write(EV_SYN, SYN_REPORT, 0);
}

bool UinputEvents::relative(int dx, int dy) {
    if (dx == 0 && dy == 0) {
        return true;
    }
    bool ok = true;
    if (dx != 0) {
        ok = write(EV_REL, REL_X, dx);
    }
    if (ok && dy != 0) {
        ok = write(EV_REL, REL_Y, dy);
    }
    return ok && write(EV_SYN, SYN_REPORT, 0);
}

} // namespace zorvexa
