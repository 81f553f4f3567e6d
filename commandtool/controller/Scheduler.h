// Delayed calls on the thread that owns the dialog. The program runs them from its event
// loop (a single-shot timer), tests from a clock they advance by hand. Nothing sleeps.
#pragma once

#include <functional>

namespace zorvexa {

class Scheduler {
  public:
    virtual ~Scheduler() = default;
    // Runs `call` once, `milliseconds` from now, on the dialog's thread.
    virtual void callAfter(int milliseconds, std::function<void()> call) = 0;
};

} // namespace zorvexa
