// Helpers for the configuration, dispatcher and executor tests.
#pragma once

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <unistd.h>
#include <vector>

#include "main/control/CControlEvents.h"
#include "main/shell/AppState.h"
#include "platform/DebugSink.h"
#include "platform/fake/FakeDesktop.h"

namespace zorvexa::testing {

// A config.xml in a private temporary folder, removed at the end of the test.
class TempConfig {
  public:
    explicit TempConfig(const std::string& text) {
        char pattern[] = "/tmp/zorvexa-config-XXXXXX";
        dir_ = mkdtemp(pattern);
        write(text);
    }
    ~TempConfig() {
        std::remove(path().c_str());
        rmdir(dir_.c_str());
    }
    void write(const std::string& text) const { std::ofstream(path(), std::ios::binary) << text; }
    std::string path() const { return dir_ + "/config.xml"; }
    const std::string& dir() const { return dir_; }

  private:
    std::string dir_;
};

// Wraps app entries in a document.
inline std::string doc(const std::string& apps) {
    return "<?xml version=\"1.0\"?>\n<config version=\"7\">\n" + apps + "\n</config>\n";
}

// Collects what the debug sink receives while it lives.
class DebugLog {
  public:
    DebugLog() {
        setDebugCapture([this](const std::string& s) {
            std::lock_guard<std::mutex> lock(mutex_);
            lines_.push_back(s);
        });
    }
    ~DebugLog() { setDebugCapture({}); }
    std::vector<std::string> lines() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return lines_;
    }
    bool contains(const std::string& s) const {
        for (const auto& l : lines())
            if (l == s)
                return true;
        return false;
    }

  private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
};

// Records executor pauses instead of sleeping.
class SleepLog {
  public:
    Sleeper sleeper() {
        return [this](std::chrono::milliseconds ms) {
            std::lock_guard<std::mutex> lock(mutex_);
            pauses_.push_back(static_cast<int>(ms.count()));
        };
    }
    std::vector<int> pauses() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return pauses_;
    }

  private:
    mutable std::mutex mutex_;
    std::vector<int> pauses_;
};

// A dispatcher over a fake desktop whose window in front has class "App".
struct Rig {
    AppState state;
    std::shared_ptr<FakeDesktop> desktop = std::make_shared<FakeDesktop>();
    TempConfig config;
    SleepLog sleeps;
    std::unique_ptr<CControlEvents> events;

    // Executor threads may still be finishing: wait for them before the pauses log goes.
    ~Rig() {
        if (events)
            settle();
    }

    explicit Rig(const std::string& xml, bool beginner = false) : config(xml) {
        state.useBeginnerSettings = beginner;
        desktop->setForeground(1, "App");
        reload();
    }
    void reload() {
        ControlSettings s;
        s.configPath = config.path();
        s.programDirectory = "/opt/zorvexa";
        s.sleep = sleeps.sleeper();
        events = std::make_unique<CControlEvents>(state, desktop, s);
    }
    // One frame: advances the frame counter and dispatches dir.
    void frame(int dir) {
        state.frameCounter.fetch_add(1);
        events->dispatch(dir);
    }
    // One frame, then waits for the actions it launched. A launch for another direction
    // stops older actions before their next repetition, even their first, so tests that
    // count actions across directions let each one finish.
    void strokeFrame(int dir) {
        frame(dir);
        settle();
    }
    // Waits until every launched action has finished.
    bool settle() {
        for (int i = 0; i < 2000; ++i) {
            if (events->runningActions() == 0)
                return true;
            usleep(1000);
        }
        return false;
    }
    std::vector<FakeDesktopCall> calls(FakeDesktopCall::Kind kind) {
        return desktop->callsOf(kind);
    }
};

} // namespace zorvexa::testing
