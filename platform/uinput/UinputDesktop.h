// Input for every desktop without a protocol of its own for it (GNOME, KDE Plasma, X11
// without XTest): one virtual keyboard and pointer device made through /dev/uinput,
// created once and kept until the object goes away. The kernel hands its events to the
// compositor like those of a real keyboard and mouse, so they reach whatever window has
// the focus.
//
// What it cannot do: tell which window is in front or list the windows (so the "default"
// configuration entry applies and Osmerak's task list stays empty), activate windows,
// or place the pointer at an absolute position (a relative device does not know where
// the pointer is).
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Desktop.h"
#include "platform/uinput/EvdevKeys.h"
#include "platform/uinput/UinputEvents.h"

namespace zorvexa {

class UinputDesktop final : public Desktop {
  public:
    // Creates the device through `path`. Null, with what went wrong and how to allow
    // it in `whyNot`, when the device cannot be made.
    static std::unique_ptr<UinputDesktop> open(std::string& whyNot,
                                               const char* path = "/dev/uinput");
    // Writes the events to `fd` as they would go to the device (the caller owns `fd`).
    static std::unique_ptr<UinputDesktop> overDescriptor(int fd);
    ~UinputDesktop() override;

    UinputDesktop(const UinputDesktop&) = delete;
    UinputDesktop& operator=(const UinputDesktop&) = delete;

    static std::vector<std::string> limitations();

    WindowId foregroundWindow() override { return 0; }
    std::string windowClass(WindowId) override { return {}; }
    int sendKeyRecords(const KeyRecord* records, int count) override;
    void postKeyToForeground(int vk) override;
    bool canSendKey(int vk) override { return evdevCodeOfVirtualKey(vk) != 0; }
    void moveMouseRelative(int dx, int dy) override;
    void moveMouseAbsolute(int nx, int ny) override;
    void leftButton(bool down) override;
    bool activateWindow(WindowId) override { return false; }
    std::vector<TopLevelWindow> topLevelWindows() override { return {}; }
    OpenResult openFile(const std::string& path) override;
    int screenWidth() override { return 0; }
    int screenHeight() override { return 0; }

  private:
    UinputDesktop(int fd, bool ownsDevice);
    int playKeyRecords(const KeyRecord* records, int count);

    std::mutex mutex_;
    int fd_;
    bool ownsDevice_;
    UinputEvents events_;
    bool absoluteReported_ = false;
};

} // namespace zorvexa
