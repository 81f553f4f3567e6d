#include "platform/fake/FakeDesktop.h"

#include <algorithm>
#include <utility>

namespace zorvexa {

void FakeDesktop::setForeground(WindowId window, const std::string& className) {
    std::lock_guard<std::mutex> lock(mutex_);
    foreground_ = window;
    if (!className.empty() || classes_.count(window) == 0) {
        classes_[window] = className;
    }
}

void FakeDesktop::setWindows(std::vector<TopLevelWindow> windows) {
    std::lock_guard<std::mutex> lock(mutex_);
    windows_ = std::move(windows);
    for (const TopLevelWindow& w : windows_) {
        classes_[w.id] = w.className;
    }
}

void FakeDesktop::setScreenSize(int width, int height) {
    std::lock_guard<std::mutex> lock(mutex_);
    width_ = width;
    height_ = height;
}

void FakeDesktop::failKeySends(int count) {
    std::lock_guard<std::mutex> lock(mutex_);
    failuresLeft_ = count;
}

void FakeDesktop::holdKeySends(bool hold) {
    std::lock_guard<std::mutex> lock(mutex_);
    holdSends_ = hold;
    logged_.notify_all();
}

bool FakeDesktop::waitForHeldSend(std::chrono::milliseconds timeout) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return logged_.wait_for(lock, timeout, [&] { return sendsHeld_ > 0; });
}

int FakeDesktop::foregroundWaits() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return foregroundWaits_;
}

void FakeDesktop::setOpenResult(const std::string& path, OpenResult result) {
    std::lock_guard<std::mutex> lock(mutex_);
    openResults_[path] = result;
}

std::vector<FakeDesktopCall> FakeDesktop::calls() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_;
}

std::vector<FakeDesktopCall> FakeDesktop::callsOf(FakeDesktopCall::Kind kind) const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<FakeDesktopCall> result;
    std::copy_if(calls_.begin(), calls_.end(), std::back_inserter(result),
                 [kind](const FakeDesktopCall& call) { return call.kind == kind; });
    return result;
}

void FakeDesktop::clearCalls() {
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.clear();
}

bool FakeDesktop::waitForCalls(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return logged_.wait_for(lock, timeout, [&] { return calls_.size() >= count; });
}

namespace {
FakeDesktopCall newCall(FakeDesktopCall::Kind kind) {
    FakeDesktopCall call;
    call.kind = kind;
    return call;
}
} // namespace

void FakeDesktop::log(FakeDesktopCall call) {
    // Called with mutex_ held.
    call.time = std::chrono::steady_clock::now();
    calls_.push_back(std::move(call));
    logged_.notify_all();
}

WindowId FakeDesktop::foregroundWindow() {
    std::unique_lock<std::mutex> lock(mutex_, std::try_to_lock);
    if (!lock.owns_lock()) {
        lock.lock();
        ++foregroundWaits_;
    }
    return foreground_;
}

std::string FakeDesktop::windowClass(WindowId window) {
    std::unique_lock<std::mutex> lock(mutex_, std::try_to_lock);
    if (!lock.owns_lock()) {
        lock.lock();
        ++foregroundWaits_;
    }
    if (window == 0) {
        return {};
    }
    const auto found = classes_.find(window);
    return found == classes_.end() ? std::string() : found->second;
}

int FakeDesktop::sendKeyRecords(const KeyRecord* records, int count) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (holdSends_) {
        ++sendsHeld_;
        logged_.notify_all();
        logged_.wait(lock, [this] { return !holdSends_; }); // the wait releases the lock
        --sendsHeld_;
    }
    FakeDesktopCall call = newCall(FakeDesktopCall::Kind::SendKeyRecords);
    if (count > 0) {
        call.records.assign(records, records + count);
    }
    if (failuresLeft_ > 0) {
        --failuresLeft_;
        call.result = 0;
    } else {
        call.result = std::max(count, 0);
    }
    const int result = call.result;
    log(std::move(call));
    return result;
}

void FakeDesktop::postKeyToForeground(int vk) {
    std::lock_guard<std::mutex> lock(mutex_);
    FakeDesktopCall call = newCall(FakeDesktopCall::Kind::PostKey);
    call.vk = vk;
    log(std::move(call));
}

void FakeDesktop::moveMouseRelative(int dx, int dy) {
    std::lock_guard<std::mutex> lock(mutex_);
    FakeDesktopCall call = newCall(FakeDesktopCall::Kind::MoveMouseRelative);
    call.x = dx;
    call.y = dy;
    log(std::move(call));
}

void FakeDesktop::moveMouseAbsolute(int nx, int ny) {
    std::lock_guard<std::mutex> lock(mutex_);
    FakeDesktopCall call = newCall(FakeDesktopCall::Kind::MoveMouseAbsolute);
    call.x = nx;
    call.y = ny;
    log(std::move(call));
}

void FakeDesktop::leftButton(bool down) {
    std::lock_guard<std::mutex> lock(mutex_);
    FakeDesktopCall call = newCall(FakeDesktopCall::Kind::LeftButton);
    call.down = down;
    log(std::move(call));
}

bool FakeDesktop::activateWindow(WindowId window) {
    std::lock_guard<std::mutex> lock(mutex_);
    FakeDesktopCall call = newCall(FakeDesktopCall::Kind::ActivateWindow);
    call.window = window;
    log(std::move(call));

    // Like a window manager: a listed window comes to the front, restored.
    const auto found = std::find_if(windows_.begin(), windows_.end(),
                                    [window](const TopLevelWindow& w) { return w.id == window; });
    if (window == 0 || found == windows_.end()) {
        return window != 0 && window == foreground_;
    }
    TopLevelWindow activated = *found;
    activated.minimized = false;
    windows_.erase(found);
    windows_.insert(windows_.begin(), activated);
    foreground_ = window;
    return true;
}

std::vector<TopLevelWindow> FakeDesktop::topLevelWindows() {
    std::lock_guard<std::mutex> lock(mutex_);
    return windows_;
}

OpenResult FakeDesktop::openFile(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    FakeDesktopCall call = newCall(FakeDesktopCall::Kind::OpenFile);
    call.path = path;
    log(std::move(call));
    const auto found = openResults_.find(path);
    return found == openResults_.end() ? OpenResult::Started : found->second;
}

int FakeDesktop::screenWidth() {
    std::lock_guard<std::mutex> lock(mutex_);
    return width_;
}

int FakeDesktop::screenHeight() {
    std::lock_guard<std::mutex> lock(mutex_);
    return height_;
}

} // namespace zorvexa
