#include "platform/ProcessLauncher.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/DebugSink.h"

namespace zorvexa {

namespace {

bool isExecutableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

// Child side, after fork: only async-signal-safe calls. Becomes a session leader, forks
// the grandchild that execs, and exits at once so that the grandchild is adopted by
// init. The grandchild reports a failed exec through `errorPipe` (closed on success).
[[noreturn]] void runDetached(const char* program, char* const* argv, int errorPipe) {
    ::setsid();
    const pid_t grandchild = ::fork();
    if (grandchild != 0) {
        ::_exit(grandchild < 0 ? 127 : 0);
    }
    sigset_t none;
    sigemptyset(&none);
    ::pthread_sigmask(SIG_SETMASK, &none, nullptr);
    const int devNull = ::open("/dev/null", O_RDONLY);
    if (devNull >= 0) {
        ::dup2(devNull, STDIN_FILENO);
    }
    // Keep standard output and error and the error pipe; close everything else that
    // this process happens to hold (display connections, camera, files).
    const int pipeFd = 3;
    if (errorPipe != pipeFd) {
        ::dup2(errorPipe, pipeFd);
    }
    ::fcntl(pipeFd, F_SETFD, FD_CLOEXEC);
    ::close_range(pipeFd + 1, ~0U, 0);
    ::execv(program, argv);
    const int error = errno;
    ssize_t ignored = ::write(pipeFd, &error, sizeof error);
    (void)ignored;
    ::_exit(127);
}

} // namespace

std::string findInPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string dirs = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos) {
            end = dirs.size();
        }
        std::string dir = dirs.substr(start, end - start);
        if (dir.empty()) {
            dir = ".";
        }
        const std::string candidate = dir + "/" + program;
        if (isExecutableFile(candidate)) {
            return candidate;
        }
        start = end + 1;
    }
    return {};
}

OpenResult openFileDetached(const std::string& path) {
    struct stat info {};
    if (path.empty()) {
        return OpenResult::FileNotFound;
    }
    if (::stat(path.c_str(), &info) != 0) {
        // A path we may not look into exists as far as we know; only a missing one
        // is "not found".
        return errno == EACCES ? OpenResult::Failed : OpenResult::FileNotFound;
    }

    // Everything the child needs is prepared before fork: no allocation after it.
    std::string program;
    std::vector<std::string> args;
    if (S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0) {
        program = path;
        args = {path};
    } else {
        program = findInPath("xdg-open");
        if (program.empty()) {
            debugOutput("openFile: xdg-open not found, cannot open " + path + "\n");
            return OpenResult::Failed;
        }
        args = {program, path};
    }
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);

    int errorPipe[2];
    if (::pipe2(errorPipe, O_CLOEXEC) != 0) {
        return OpenResult::Failed;
    }
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(errorPipe[0]);
        ::close(errorPipe[1]);
        return OpenResult::Failed;
    }
    if (child == 0) {
        ::close(errorPipe[0]);
        runDetached(program.c_str(), argv.data(), errorPipe[1]);
    }
    ::close(errorPipe[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }

    // The pipe reaches end of file when exec succeeds (close-on-exec) and carries the
    // errno when it fails.
    int execError = 0;
    ssize_t got = 0;
    do {
        got = ::read(errorPipe[0], &execError, sizeof execError);
    } while (got < 0 && errno == EINTR);
    ::close(errorPipe[0]);

    const bool childOk = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!childOk || got > 0) {
        debugOutput("openFile: cannot start " + program + ": " +
                    std::strerror(got > 0 ? execError : ECHILD) + "\n");
        return OpenResult::Failed;
    }
    return OpenResult::Started;
}

} // namespace zorvexa
