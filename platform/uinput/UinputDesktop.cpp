#include "platform/uinput/UinputDesktop.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <linux/uinput.h>

#include "platform/DebugSink.h"
#include "platform/ProcessLauncher.h"
#include "platform/uinput/EvdevKeys.h"

namespace zorvexa {

namespace {

std::string openFailure(const char* path, int error) {
    const std::string device = path;
    switch (error) {
    case ENOENT:
    case ENODEV:
        return device + " does not exist: load the uinput module (`sudo modprobe uinput`, "
                        "and add `uinput` to /etc/modules-load.d/ to keep it)";
    case EACCES:
    case EPERM:
        return "no permission to open " + device +
               ": install the rule 70-zorvexa-uinput.rules (in share/zorvexa where Zorvexa is "
               "installed, data/desktop in the sources) as the README describes (it lets the "
               "logged-in user create input devices), then log in again";
    default:
        return "cannot open " + device + ": " + std::strerror(error);
    }
}

bool setUp(int fd, std::string& whyNot) {
    bool ok = ioctl(fd, UI_SET_EVBIT, EV_KEY) == 0 && ioctl(fd, UI_SET_EVBIT, EV_REL) == 0 &&
              ioctl(fd, UI_SET_EVBIT, EV_SYN) == 0 && ioctl(fd, UI_SET_RELBIT, REL_X) == 0 &&
              ioctl(fd, UI_SET_RELBIT, REL_Y) == 0 && ioctl(fd, UI_SET_KEYBIT, BTN_LEFT) == 0;
    std::size_t count = 0;
    const VirtualKeyEvdev* table = virtualKeyEvdevCodes(count);
    for (std::size_t i = 0; ok && i < count; ++i) {
        ok = ioctl(fd, UI_SET_KEYBIT, static_cast<int>(table[i].code)) == 0;
    }
    uinput_setup setup{};
    setup.id.bustype = BUS_VIRTUAL;
    setup.id.vendor = 0x5a56; // "ZV"
    setup.id.product = 0x0001;
    std::strncpy(setup.name, "Zorvexa virtual keyboard and pointer", UINPUT_MAX_NAME_SIZE - 1);
    ok = ok && ioctl(fd, UI_DEV_SETUP, &setup) == 0 && ioctl(fd, UI_DEV_CREATE) == 0;
    if (!ok) {
        whyNot = std::string("cannot create the uinput device: ") + std::strerror(errno);
    }
    return ok;
}

} // namespace

std::unique_ptr<UinputDesktop> UinputDesktop::open(std::string& whyNot, const char* path) {
    const int fd = ::open(path, O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        whyNot = openFailure(path, errno);
        return nullptr;
    }
    if (!setUp(fd, whyNot)) {
        close(fd);
        return nullptr;
    }
    return std::unique_ptr<UinputDesktop>(new UinputDesktop(fd, true));
}

std::unique_ptr<UinputDesktop> UinputDesktop::overDescriptor(int fd) {
    return std::unique_ptr<UinputDesktop>(new UinputDesktop(fd, false));
}

UinputDesktop::UinputDesktop(int fd, bool ownsDevice)
    : fd_(fd), ownsDevice_(ownsDevice), events_(fd) {}

UinputDesktop::~UinputDesktop() {
    if (ownsDevice_) {
        ioctl(fd_, UI_DEV_DESTROY);
        close(fd_);
    }
}

std::vector<std::string> UinputDesktop::limitations() {
    return {"this desktop does not tell which application is in front: the default entry is used",
            "this desktop does not list its windows: Osmerak's task list stays empty",
            "the pointer cannot be placed at an absolute position here, only moved"};
}

int UinputDesktop::playKeyRecords(const KeyRecord* records, int count) {
    if (count <= 0 || records == nullptr) {
        return 0;
    }
    // A chord is sent whole or not at all, so no modifier is ever left held down.
    std::vector<std::uint16_t> codes;
    for (int i = 0; i < count; ++i) {
        const std::uint16_t code = evdevCodeOfVirtualKey(records[i].vk);
        if (code == 0) {
            debugOutput("uinput: no key for virtual-key code " + std::to_string(records[i].vk) +
                        ", keystroke not sent\n");
            return 0;
        }
        codes.push_back(code);
    }
    for (int i = 0; i < count; ++i) {
        const bool press = (records[i].flags & kKeyEventKeyUp) == 0;
        if (!events_.key(codes[static_cast<std::size_t>(i)], press)) {
            // Whatever was pressed is released again before giving up.
            for (int j = i - 1; j >= 0; --j) {
                events_.key(codes[static_cast<std::size_t>(j)], false);
            }
            return 0;
        }
    }
    return count;
}

int UinputDesktop::sendKeyRecords(const KeyRecord* records, int count) {
    std::lock_guard<std::mutex> lock(mutex_);
    return playKeyRecords(records, count);
}

void UinputDesktop::postKeyToForeground(int vk) {
    if (vk <= 0 || vk > 0xFFFF) {
        return;
    }
    const KeyRecordList list = buildKeystroke(static_cast<std::uint16_t>(vk), 0, 0);
    std::lock_guard<std::mutex> lock(mutex_);
    playKeyRecords(list.records.data(), list.count);
}

void UinputDesktop::moveMouseRelative(int dx, int dy) {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.relative(dx, dy);
}

void UinputDesktop::moveMouseAbsolute(int, int) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!absoluteReported_) {
        absoluteReported_ = true;
        debugOutput("uinput: absolute pointer moves are not available on this desktop\n");
    }
}

void UinputDesktop::leftButton(bool down) {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.key(BTN_LEFT, down);
}

OpenResult UinputDesktop::openFile(const std::string& path) {
    return openFileDetached(path);
}

} // namespace zorvexa
