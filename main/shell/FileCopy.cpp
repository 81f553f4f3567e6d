#include "main/shell/FileCopy.h"

#include <atomic>
#include <cerrno>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zorvexa {
namespace {

bool writeAll(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool writeNewFile(const std::string& path, const std::string& data) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    bool ok = writeAll(fd, data) && ::fsync(fd) == 0;
    if (::close(fd) != 0)
        ok = false;
    if (!ok)
        ::unlink(path.c_str());
    return ok;
}

} // namespace

bool copyFileAtomically(const std::string& from, const std::string& to, CopyMode mode) {
    std::ifstream in(from, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad())
        return false;
    const std::string data = buffer.str();

    struct stat info {};
    if (mode == CopyMode::KeepExisting && ::lstat(to.c_str(), &info) == 0)
        return false;

    static std::atomic<unsigned> counter{0};
    const std::string temp =
        to + ".tmp." + std::to_string(::getpid()) + "." + std::to_string(++counter);
    if (!writeNewFile(temp, data))
        return false;

    bool ok = false;
    if (mode == CopyMode::Replace) {
        ok = ::rename(temp.c_str(), to.c_str()) == 0;
    } else if (::link(temp.c_str(), to.c_str()) == 0) {
        ok = true; // a hard link never replaces an existing name
    } else if (errno != EEXIST) {
        // A file system without hard links: create the name exclusively instead.
        ok = writeNewFile(to, data);
    }
    ::unlink(temp.c_str());
    return ok;
}

} // namespace zorvexa
