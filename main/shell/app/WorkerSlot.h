// One worker thread at a time (the frame loop, or the guide videos), replaced only after
// the previous one has ended. The window thread starts jobs and hears of their end through
// `post`, which runs a function later on the window thread, so it never waits for a
// worker: a stop is asked for by clearing the worker's run flag, and what comes next runs
// once the worker has ended. Only the window thread calls the members, except the job
// itself, which runs on the worker.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace zorvexa {

class WorkerSlot {
  public:
    // Runs a function on the window thread after `delayMs` milliseconds (0: soon).
    using Post = std::function<void(int delayMs, std::function<void()>)>;

    explicit WorkerSlot(Post post);
    ~WorkerSlot();
    WorkerSlot(const WorkerSlot&) = delete;
    WorkerSlot& operator=(const WorkerSlot&) = delete;

    // True from start() until the window thread has heard that the job ended.
    bool busy() const { return busy_; }
    // True once the job has returned (the worker may be about to end); any thread.
    bool jobFinished() const { return finished_.load(); }

    // Starts `job` on a new thread; false (and nothing started) while busy.
    bool start(std::function<void()> job);

    // Calls `stop` now and, while the job has not ended, again every `kStopRepeatMs`
    // (a worker that was just starting may set its run flag again after the first
    // call); once the job has ended, `next` runs on the window thread. Without a running
    // job, `next` runs at once. A later request replaces a pending `next`.
    void stopThen(std::function<void()> stop, std::function<void()> next);
    // Forgets a pending `next` (the program is closing).
    void cancelPending();

    // At exit, after the window thread's loop has ended: calls `stop` until the job ends,
    // then joins the thread. Blocks.
    void joinAtExit(const std::function<void()>& stop);

    static constexpr int kStopRepeatMs = 20;

  private:
    void onJobEnded();
    void repeatStop();

    Post post_;
    std::thread thread_;
    bool busy_ = false;
    std::atomic<bool> finished_{true};
    std::function<void()> stop_;
    std::function<void()> pending_;
    bool repeating_ = false;
    std::shared_ptr<int> alive_ = std::make_shared<int>(0); // posted calls check it
};

} // namespace zorvexa
