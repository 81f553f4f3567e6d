// An in-memory desktop for tests: a settable foreground window and window list, and a
// thread-safe log of every input, activation and open request with its time.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Desktop.h"

namespace zorvexa {

struct FakeDesktopCall {
    enum class Kind {
        SendKeyRecords,
        PostKey,
        MoveMouseRelative,
        MoveMouseAbsolute,
        LeftButton,
        ActivateWindow,
        OpenFile,
    };

    Kind kind = Kind::SendKeyRecords;
    std::chrono::steady_clock::time_point time;
    std::vector<KeyRecord> records; // SendKeyRecords
    int result = 0;                 // SendKeyRecords: what was returned
    int vk = 0;                     // PostKey
    int x = 0;                      // MoveMouseRelative / MoveMouseAbsolute
    int y = 0;
    bool down = false;   // LeftButton
    WindowId window = 0; // ActivateWindow
    std::string path;    // OpenFile
};

class FakeDesktop final : public Desktop {
  public:
    // Sets the window in front and its class (a window of the list keeps its own class
    // unless one is given here).
    void setForeground(WindowId window, const std::string& className);
    void setWindows(std::vector<TopLevelWindow> windows);
    void setScreenSize(int width, int height);
    // The next `count` calls of sendKeyRecords insert nothing and return 0.
    void failKeySends(int count);
    // While held, sendKeyRecords waits (holding no lock) until released: an executor
    // stuck in the middle of a chord.
    void holdKeySends(bool hold);
    // Waits until a sendKeyRecords call is waiting in the hold; false on timeout.
    bool waitForHeldSend(std::chrono::milliseconds timeout) const;
    // How often a foreground query found the desktop busy with another call and waited.
    int foregroundWaits() const;
    // What openFile returns for a path (default: Started).
    void setOpenResult(const std::string& path, OpenResult result);

    std::vector<FakeDesktopCall> calls() const;
    std::vector<FakeDesktopCall> callsOf(FakeDesktopCall::Kind kind) const;
    void clearCalls();
    // Waits until at least `count` calls are logged; false on timeout.
    bool waitForCalls(std::size_t count, std::chrono::milliseconds timeout) const;

    WindowId foregroundWindow() override;
    std::string windowClass(WindowId window) override;
    int sendKeyRecords(const KeyRecord* records, int count) override;
    void postKeyToForeground(int vk) override;
    void moveMouseRelative(int dx, int dy) override;
    void moveMouseAbsolute(int nx, int ny) override;
    void leftButton(bool down) override;
    bool activateWindow(WindowId window) override;
    std::vector<TopLevelWindow> topLevelWindows() override;
    OpenResult openFile(const std::string& path) override;
    int screenWidth() override;
    int screenHeight() override;

  private:
    void log(FakeDesktopCall call);

    mutable std::mutex mutex_;
    mutable std::condition_variable logged_;
    std::vector<FakeDesktopCall> calls_;
    WindowId foreground_ = 0;
    std::map<WindowId, std::string> classes_;
    std::vector<TopLevelWindow> windows_;
    std::map<std::string, OpenResult> openResults_;
    int failuresLeft_ = 0;
    bool holdSends_ = false;
    int sendsHeld_ = 0;
    int foregroundWaits_ = 0;
    int width_ = 1280;
    int height_ = 1024;
};

} // namespace zorvexa
