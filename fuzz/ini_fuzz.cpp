// libFuzzer target: the settings (INI) reader and writer on file contents, names and
// values of any shape. Input: section, key and value separated by zero bytes, then the
// file's text. A value that was written is read back as written when nothing about it
// (blanks around it, quotes, separators) is meant to change.
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/Profile.h"
#include "fuzz/FuzzFiles.h"

namespace {

// Takes the text up to the next zero byte (or the end) off the front of `rest`.
std::string takeField(std::string& rest) {
    const std::size_t at = rest.find('\0');
    std::string field = rest.substr(0, at);
    rest = at == std::string::npos ? std::string() : rest.substr(at + 1);
    return field;
}

// Printable, without separators or quotes, and without blanks at either end.
bool plain(const std::string& text) {
    if (text.empty() || text.front() == ' ' || text.back() == ' ')
        return false;
    for (const char c : text)
        if (c < 0x21 || c > 0x7e || c == '[' || c == ']' || c == '=' || c == '"' || c == '\'' ||
            c == ';')
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string rest(reinterpret_cast<const char*>(data), size);
    const std::string section = takeField(rest);
    const std::string key = takeField(rest);
    const std::string value = takeField(rest);
    const std::string path = zorvexa::fuzz::writeFuzzFile("Zorvexa.ini", rest);

    const std::size_t buffer = size > 0 ? data[0] % 100 : 80;
    std::size_t sink = zorvexa::readProfileString(path, section, key, "default", buffer).size();
    if (buffer > 0 && sink >= buffer)
        __builtin_trap(); // a read never returns more than fits the caller's buffer
    sink += static_cast<std::size_t>(zorvexa::readProfileInt(path, section, key, 7));

    if (zorvexa::writeProfileString(path, section, key, value) && plain(section) && plain(key) &&
        plain(value) && value.size() < 200) {
        if (zorvexa::readProfileString(path, section, key, "", 256) != value)
            __builtin_trap(); // what was written is what is read
    }
    return sink == 1 ? 0 : 0;
}
