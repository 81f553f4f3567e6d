#include "main/shell/app/WorkerSlot.h"

#include <chrono>
#include <utility>

namespace zorvexa {

WorkerSlot::WorkerSlot(Post post) : post_(std::move(post)) {}

WorkerSlot::~WorkerSlot() {
    if (thread_.joinable())
        thread_.join();
}

bool WorkerSlot::start(std::function<void()> job) {
    if (busy_)
        return false;
    if (thread_.joinable())
        thread_.join(); // the previous job has already ended: returns at once
    busy_ = true;
    finished_ = false;
    std::weak_ptr<int> alive = alive_;
    thread_ = std::thread([this, alive, job = std::move(job)] {
        job();
        finished_ = true;
        post_(0, [this, alive] {
            if (alive.lock())
                onJobEnded();
        });
    });
    return true;
}

void WorkerSlot::onJobEnded() {
    if (!busy_ || !finished_)
        return;
    if (thread_.joinable())
        thread_.join();
    busy_ = false;
    stop_ = nullptr;
    if (pending_) {
        auto next = std::move(pending_);
        pending_ = nullptr;
        next();
    }
}

void WorkerSlot::stopThen(std::function<void()> stop, std::function<void()> next) {
    if (stop)
        stop();
    if (!busy_) {
        if (next)
            next();
        return;
    }
    stop_ = std::move(stop);
    pending_ = std::move(next);
    if (!repeating_ && stop_) {
        repeating_ = true;
        std::weak_ptr<int> alive = alive_;
        post_(kStopRepeatMs, [this, alive] {
            if (alive.lock())
                repeatStop();
        });
    }
}

void WorkerSlot::repeatStop() {
    repeating_ = false;
    if (!busy_ || finished_ || !stop_)
        return;
    stop_();
    repeating_ = true;
    std::weak_ptr<int> alive = alive_;
    post_(kStopRepeatMs, [this, alive] {
        if (alive.lock())
            repeatStop();
    });
}

void WorkerSlot::cancelPending() {
    pending_ = nullptr;
    stop_ = nullptr;
}

void WorkerSlot::joinAtExit(const std::function<void()>& stop) {
    pending_ = nullptr;
    while (thread_.joinable() && !finished_) {
        if (stop)
            stop();
        std::this_thread::sleep_for(std::chrono::milliseconds(kStopRepeatMs));
    }
    if (thread_.joinable())
        thread_.join();
    busy_ = false;
}

} // namespace zorvexa
