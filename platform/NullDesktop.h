// The desktop of a session without a display: nothing in front, no windows, input and
// activation fail quietly. Lets the programs run headless (analysis, tests) without
// special cases.
#pragma once

#include "platform/Desktop.h"

namespace zorvexa {

class NullDesktop final : public Desktop {
  public:
    WindowId foregroundWindow() override { return 0; }
    std::string windowClass(WindowId) override { return {}; }
    // Nothing can receive the input, so nothing is reported as inserted.
    int sendKeyRecords(const KeyRecord*, int) override { return 0; }
    void postKeyToForeground(int) override {}
    void moveMouseRelative(int, int) override {}
    void moveMouseAbsolute(int, int) override {}
    void leftButton(bool) override {}
    bool activateWindow(WindowId) override { return false; }
    std::vector<TopLevelWindow> topLevelWindows() override { return {}; }
    OpenResult openFile(const std::string& path) override;
    int screenWidth() override { return 0; }
    int screenHeight() override { return 0; }
};

} // namespace zorvexa
