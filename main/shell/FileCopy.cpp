#include "main/shell/FileCopy.h"

#include "common/Files.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zorvexa {

bool copyFileAtomically(const std::string& from, const std::string& to, CopyMode mode) {
    std::string data;
    if (!readWholeFile(from, data))
        return false;

    struct stat info {};
    if (mode == CopyMode::KeepExisting && ::lstat(to.c_str(), &info) == 0)
        return false;

    const std::string temp = temporaryNameFor(to);
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
