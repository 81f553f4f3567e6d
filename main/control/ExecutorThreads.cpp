#include "main/control/ExecutorThreads.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <list>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "platform/DebugSink.h"

namespace zorvexa {

namespace {

struct Executor {
    std::thread thread;
    bool done = false;
};

// Never destroyed: a thread still running when the process ends (a test that does not
// stop its executors) must find the record intact, and dropping joinable threads from
// a destroyed list would end the process.
struct Registry {
    std::mutex mutex;
    std::condition_variable changed;
    std::list<std::shared_ptr<Executor>> executors;
    ExecutorErrorHandler errorHandler;
};
Registry& registry() {
    static Registry* instance = new Registry;
    return *instance;
}
std::atomic<bool> g_stopping{false};

void report(const std::string& what) {
    debugOutput("executor thread failed: " + what + "\n");
    ExecutorErrorHandler handler;
    {
        std::lock_guard<std::mutex> lock(registry().mutex);
        handler = registry().errorHandler;
    }
    if (handler) {
        try {
            handler(what);
        } catch (...) {
            debugOutput("executor error handler failed\n");
        }
    }
}

void runGuarded(const std::function<void()>& body) {
    try {
        body();
    } catch (const std::exception& e) {
        report(e.what());
    } catch (...) {
        report("unknown exception");
    }
}

// Joins threads that have ended; called with registry().mutex held. Their bodies have returned,
// so the joins do not wait.
void reapFinished() {
    for (auto it = registry().executors.begin(); it != registry().executors.end();) {
        if ((*it)->done) {
            if ((*it)->thread.joinable()) {
                (*it)->thread.join();
            }
            it = registry().executors.erase(it);
        } else {
            ++it;
        }
    }
}

} // namespace

void setExecutorErrorHandler(ExecutorErrorHandler handler) {
    std::lock_guard<std::mutex> lock(registry().mutex);
    registry().errorHandler = std::move(handler);
}

bool launchExecutor(std::function<void()> body) {
    std::lock_guard<std::mutex> lock(registry().mutex);
    if (g_stopping.load()) {
        debugOutput("executor not started: the program is ending\n");
        return false;
    }
    reapFinished();
    auto slot = std::make_shared<Executor>();
    registry().executors.push_back(slot);
    try {
        // The thread shares its record, so a record dropped at exit never dangles.
        slot->thread = std::thread([slot, body = std::move(body)] {
            runGuarded(body);
            std::lock_guard<std::mutex> done(registry().mutex);
            slot->done = true;
            registry().changed.notify_all();
        });
    } catch (const std::system_error& e) {
        registry().executors.pop_back();
        debugOutput(std::string("cannot start an action thread: ") + e.what() + "\n");
        return false;
    }
    return true;
}

bool executorsStopping() {
    return g_stopping.load();
}

void executorPause(std::chrono::milliseconds duration) {
    if (duration.count() <= 0) {
        std::this_thread::yield();
        return;
    }
    std::unique_lock<std::mutex> lock(registry().mutex);
    registry().changed.wait_for(lock, duration, [] { return g_stopping.load(); });
}

bool stopExecutors(std::chrono::milliseconds bound) {
    std::unique_lock<std::mutex> lock(registry().mutex);
    g_stopping.store(true);
    registry().changed.notify_all();
    const bool allEnded = registry().changed.wait_for(lock, bound, [] {
        return std::all_of(registry().executors.begin(), registry().executors.end(),
                           [](const auto& e) { return e->done; });
    });
    reapFinished();
    for (const auto& e : registry().executors) {
        // Still inside a desktop call; it holds its own references to what it uses.
        e->thread.detach();
    }
    if (!allEnded) {
        debugOutput(std::to_string(registry().executors.size()) +
                    " executor thread(s) still running at exit\n");
    }
    registry().executors.clear();
    return allEnded;
}

void allowExecutors() {
    std::lock_guard<std::mutex> lock(registry().mutex);
    g_stopping.store(false);
}

int runningExecutors() {
    std::lock_guard<std::mutex> lock(registry().mutex);
    return static_cast<int>(std::count_if(registry().executors.begin(), registry().executors.end(),
                                          [](const auto& e) { return !e->done; }));
}

} // namespace zorvexa
