#include "main/shell/DesktopNotice.h"

#include <cstdint>
#include <cstdio>

#include "common/Profile.h"
#include "main/shell/AppPaths.h"

namespace zorvexa {
namespace {

constexpr const char* kSection = "DESKTOP";
constexpr const char* kKey = "dismissedNotice";

// FNV-1a, 64 bits, as 16 hex digits: short enough for a settings value.
std::string digestOf(const std::string& text) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char ch : text) {
        hash ^= static_cast<unsigned char>(ch);
        hash *= 1099511628211ULL;
    }
    char digits[17] = {};
    std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(hash));
    return digits;
}

} // namespace

std::string desktopNoticeText(const std::string& backendName,
                              const std::vector<std::string>& notes) {
    if (notes.empty()) {
        return {};
    }
    std::string text = "Desktop backend: " + backendName + ".";
    for (const std::string& note : notes) {
        text += "\n- " + note;
    }
    return text;
}

bool desktopNoticeDismissed(const std::string& text, const std::string& iniPath) {
    return readProfileString(iniPath, kSection, kKey, "") == digestOf(text);
}

bool dismissDesktopNotice(const std::string& text, const std::string& iniPath) {
    return writeProfileString(iniPath, kSection, kKey, digestOf(text));
}

bool desktopNoticeDismissed(const std::string& text, const AppPaths& paths) {
    return desktopNoticeDismissed(text, iniReadPath(paths));
}

bool dismissDesktopNotice(const std::string& text, const AppPaths& paths) {
    for (const std::string& path : iniWritePaths(paths)) {
        if (dismissDesktopNotice(text, path)) {
            return true;
        }
    }
    return false;
}

} // namespace zorvexa
