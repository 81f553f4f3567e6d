// A scheduler driven by a clock the test advances by hand.
#pragma once

#include <functional>
#include <map>

#include "commandtool/controller/Scheduler.h"

namespace zorvexa::test {

class ManualScheduler : public Scheduler {
  public:
    void callAfter(int milliseconds, std::function<void()> call) override {
        due_.emplace(now_ + milliseconds, std::move(call));
    }

    // Runs every call due up to and including `time`, in order of due time.
    void advanceTo(long long time) {
        while (!due_.empty() && due_.begin()->first <= time) {
            auto next = due_.begin();
            now_ = next->first;
            std::function<void()> call = std::move(next->second);
            due_.erase(next);
            call();
        }
        now_ = time;
    }
    void advanceBy(long long milliseconds) { advanceTo(now_ + milliseconds); }

    long long now() const { return now_; }
    bool idle() const { return due_.empty(); }

  private:
    long long now_ = 0;
    std::multimap<long long, std::function<void()>> due_;
};

} // namespace zorvexa::test
