// A private folder for the fuzz targets whose code under test reads and writes files;
// removed when the fuzzer exits. In memory where the system offers it (/dev/shm), as the
// settings writer flushes every file to disk.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace zorvexa::fuzz {

inline const std::string& fuzzFolder() {
    static const std::string folder = [] {
        std::string pattern =
            std::string(::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/zv-fuzz-XXXXXX";
        const char* made = ::mkdtemp(pattern.data());
        std::string path = made ? made : "/tmp";
        static std::string removeAtExit;
        removeAtExit = made ? path : "";
        std::atexit([] {
            if (!removeAtExit.empty())
                std::filesystem::remove_all(removeAtExit);
        });
        return path;
    }();
    return folder;
}

// Writes `text` to `name` in the folder and returns the file's path.
inline std::string writeFuzzFile(const std::string& name, const std::string& text) {
    const std::string path = fuzzFolder() + "/" + name;
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    return path;
}

} // namespace zorvexa::fuzz
