#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "main/shell/app/WorkerGuard.h"
#include "main/shell/app/WorkerSlot.h"

namespace zorvexa {
namespace {

// Stands in for the window thread's event queue.
class ManualQueue {
  public:
    WorkerSlot::Post post() {
        return [this](int, std::function<void()> fn) {
            std::lock_guard<std::mutex> lock(mutex_);
            queue_.push_back(std::move(fn));
        };
    }
    // Runs queued functions until `done` holds or two seconds pass.
    bool runUntil(const std::function<bool()>& done) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (!done()) {
            if (std::chrono::steady_clock::now() > until)
                return false;
            std::function<void()> fn;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                if (!queue_.empty()) {
                    fn = std::move(queue_.front());
                    queue_.pop_front();
                }
            }
            if (fn)
                fn();
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

  private:
    std::mutex mutex_;
    std::deque<std::function<void()>> queue_;
};

TEST(WorkerSlot, OneJobAtATimeAndTheEndIsReportedOnTheWindowThread) {
    ManualQueue queue;
    WorkerSlot slot(queue.post());
    std::atomic<bool> run{true};
    ASSERT_TRUE(slot.start([&] {
        while (run)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }));
    EXPECT_TRUE(slot.busy());
    EXPECT_FALSE(slot.start([] {})) << "a second job must wait for the first";
    run = false;
    ASSERT_TRUE(queue.runUntil([&] { return !slot.busy(); }));
    EXPECT_TRUE(slot.start([] {}));
    ASSERT_TRUE(queue.runUntil([&] { return !slot.busy(); }));
}

TEST(WorkerSlot, StopThenStartsTheNextJobOnlyAfterTheRunningOneEnded) {
    ManualQueue queue;
    WorkerSlot slot(queue.post());
    std::atomic<bool> run{true};
    std::atomic<int> firstEnded{0};
    slot.start([&] {
        while (run)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        firstEnded = 1;
    });
    bool nextRan = false;
    slot.stopThen([&] { run = false; },
                  [&] {
                      EXPECT_EQ(firstEnded.load(), 1);
                      nextRan = true;
                  });
    EXPECT_FALSE(nextRan);
    ASSERT_TRUE(queue.runUntil([&] { return nextRan; }));
    EXPECT_FALSE(slot.busy());
}

TEST(WorkerSlot, StopIsRepeatedWhileAStartingJobSetsItsFlagAgain) {
    // The job sets its run flag only after a while, as a frame loop does when it starts:
    // a single stop before that would be lost.
    ManualQueue queue;
    WorkerSlot slot(queue.post());
    std::atomic<bool> run{false};
    std::atomic<bool> go{false};
    slot.start([&] {
        while (!go)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        run = true;
        while (run)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    bool nextRan = false;
    slot.stopThen([&] { run = false; }, [&] { nextRan = true; });
    go = true;
    ASSERT_TRUE(queue.runUntil([&] { return nextRan; }));
}

TEST(WorkerSlot, WithoutARunningJobTheNextStepRunsAtOnceAndALaterRequestReplaces) {
    ManualQueue queue;
    WorkerSlot slot(queue.post());
    int ran = 0;
    slot.stopThen(nullptr, [&] { ran = 1; });
    EXPECT_EQ(ran, 1);

    std::atomic<bool> run{true};
    slot.start([&] {
        while (run)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    slot.stopThen(nullptr, [&] { ran = 2; });
    slot.stopThen([&] { run = false; }, [&] { ran = 3; });
    ASSERT_TRUE(queue.runUntil([&] { return !slot.busy(); }));
    EXPECT_EQ(ran, 3);
}

TEST(WorkerSlot, JoinAtExitStopsAndJoinsWithoutTheWindowThread) {
    ManualQueue queue; // never run: the event loop has ended
    WorkerSlot slot(queue.post());
    std::atomic<bool> run{false};
    std::atomic<bool> ended{false};
    slot.start([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        run = true; // sets its flag after the first stop
        while (run)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ended = true;
    });
    slot.joinAtExit([&] { run = false; });
    EXPECT_TRUE(ended);
    EXPECT_FALSE(slot.busy());
}

TEST(WorkerSlot, CancelledNextStepDoesNotRun) {
    ManualQueue queue;
    WorkerSlot slot(queue.post());
    std::atomic<bool> run{true};
    slot.start([&] {
        while (run)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    bool ran = false;
    slot.stopThen([&] { run = false; }, [&] { ran = true; });
    slot.cancelPending();
    ASSERT_TRUE(queue.runUntil([&] { return !slot.busy(); }));
    EXPECT_FALSE(ran);
}

// An exception that escapes a worker's job (here on a real worker thread, where it would
// end the program) is told once, and the slot takes the next job as after a normal end.
TEST(WorkerGuard, AnEscapingExceptionIsToldOnceAndTheSlotCarriesOn) {
    ManualQueue queue;
    WorkerSlot slot(queue.post());
    std::vector<std::string> reports;
    std::mutex mutex;
    auto report = [&](const std::string& text) {
        std::lock_guard<std::mutex> lock(mutex);
        reports.push_back(text);
    };
    std::atomic<int> returned{-1};
    ASSERT_TRUE(slot.start([&] {
        returned = runGuarded(
            "guide video", [] { throw std::runtime_error("bad clip"); }, report);
    }));
    ASSERT_TRUE(queue.runUntil([&] { return !slot.busy(); }));
    ASSERT_TRUE(slot.start([&] {
        returned = runGuarded(
            "guide video", [] { throw 42; }, report);
    }));
    ASSERT_TRUE(queue.runUntil([&] { return !slot.busy(); }));
    EXPECT_EQ(returned.load(), 0);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0], "The guide video stopped after an error: bad clip");
    EXPECT_NE(reports[1].find("unknown"), std::string::npos);
    EXPECT_TRUE(runGuarded(
        "x", [] {}, report));
    EXPECT_EQ(reports.size(), 2u);
}

} // namespace
} // namespace zorvexa
