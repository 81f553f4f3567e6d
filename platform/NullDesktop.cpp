#include "platform/NullDesktop.h"

#include <sys/stat.h>

namespace zorvexa {

OpenResult NullDesktop::openFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return OpenResult::FileNotFound;
    }
    return OpenResult::Failed;
}

} // namespace zorvexa
