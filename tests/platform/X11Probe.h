// The probe client of the X11 tests (X11ProbeClient.cpp) as a child process whose
// output lines are collected by a thread, and small helpers around it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/Desktop.h"

extern char** environ;

namespace zorvexa {

using namespace std::chrono_literals;

class Probe {
  public:
    // `program`: another helper of the tests' binary folder instead of the probe.
    explicit Probe(const std::vector<std::string>& args,
                   const std::string& program = "platform_x11_probe") {
        int fds[2];
        if (pipe(fds) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        std::vector<std::string> all = {std::string(ZORVEXA_BIN_DIR) + "/" + program};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : all) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        reader_ = std::thread([this, fd = fds[0]] { readLines(fd); });
    }

    // Sends `signal` and waits for the process; its wait status, -1 when none ran.
    int stop(int signal) {
        if (pid_ <= 0) {
            return -1;
        }
        kill(pid_, signal);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        if (reader_.joinable()) {
            reader_.join();
        }
        return status;
    }

    ~Probe() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        if (reader_.joinable()) {
            reader_.join();
        }
    }

    // The next line from the cursor on that satisfies `match`; "" on timeout.
    std::string next(const std::function<bool(const std::string&)>& match,
                     std::chrono::milliseconds timeout = 3s) {
        std::unique_lock<std::mutex> lock(mutex_);
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (true) {
            for (; cursor_ < lines_.size(); ++cursor_) {
                if (match(lines_[cursor_])) {
                    return lines_[cursor_++];
                }
            }
            if (changed_.wait_until(lock, deadline) == std::cv_status::timeout) {
                return {};
            }
        }
    }

    std::string nextStartingWith(const std::string& prefix, std::chrono::milliseconds t = 3s) {
        return next([&](const std::string& l) { return l.rfind(prefix, 0) == 0; }, t);
    }

    // The next `count` key lines.
    std::vector<std::string> keys(std::size_t count) {
        std::vector<std::string> result;
        for (std::size_t i = 0; i < count; ++i) {
            std::string line = nextStartingWith("key ");
            if (line.empty()) {
                break;
            }
            result.push_back(line);
        }
        return result;
    }

    std::string all() {
        std::lock_guard<std::mutex> lock(mutex_);
        std::string text;
        for (const std::string& line : lines_) {
            text += line + "\n";
        }
        return text;
    }

    // Skips everything received so far.
    void skipAll() {
        std::lock_guard<std::mutex> lock(mutex_);
        cursor_ = lines_.size();
    }

  private:
    void readLines(int fd) {
        FILE* in = fdopen(fd, "r");
        char buffer[512];
        while (in != nullptr && fgets(buffer, sizeof buffer, in) != nullptr) {
            std::string line(buffer);
            if (!line.empty() && line.back() == '\n') {
                line.pop_back();
            }
            std::lock_guard<std::mutex> lock(mutex_);
            lines_.push_back(line);
            changed_.notify_all();
        }
        if (in != nullptr) {
            fclose(in);
        }
    }

    pid_t pid_ = -1;
    std::thread reader_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> lines_;
    std::size_t cursor_ = 0;
};

inline WindowId idFrom(const std::string& line) {
    const auto space = line.find(' ');
    return space == std::string::npos ? 0 : std::stoull(line.substr(space + 1));
}

inline bool eventually(const std::function<bool()>& condition,
                       std::chrono::milliseconds timeout = 3s) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

} // namespace zorvexa
