// The executor threads of the whole process (every configuration object launches here),
// so that the program can stop them at exit and wait for them, with a bound, before
// anything they use goes away.
//
// Each thread body runs inside a catch-all: an exception ends that thread only, with a
// debug line and a call of the error handler (which the program can turn into a notice).
#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace zorvexa {

// Called on the executor's thread with a short description of the failure.
using ExecutorErrorHandler = std::function<void(const std::string&)>;
void setExecutorErrorHandler(ExecutorErrorHandler handler);

// Starts `body` on a thread of its own; false when no thread could be started or the
// executors are being stopped.
bool launchExecutor(std::function<void()> body);

// Whether stopExecutors() has been called.
bool executorsStopping();
// Sleeps for `duration`, or less when the executors are asked to stop meanwhile.
void executorPause(std::chrono::milliseconds duration);

// Asks every executor to stop and waits up to `bound` for them; true when all ended.
// Threads still running then are left to finish on their own (they own what they use).
bool stopExecutors(std::chrono::milliseconds bound);
// Lets launches happen again after stopExecutors (for tests that stop and go on).
void allowExecutors();
// Executor threads still running.
int runningExecutors();

} // namespace zorvexa
