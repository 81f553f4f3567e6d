#include "common/Profile.h"

#include "common/Files.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zorvexa {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    return true;
}

std::string trimmed(const std::string& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && isBlank(text[first]))
        ++first;
    while (last > first && isBlank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

// One line of the file: its text without the line ending, and where it sits.
struct Line {
    std::size_t begin = 0; // first character
    std::size_t end = 0;   // one past the last character before the line ending
    std::size_t next = 0;  // first character of the following line
};

std::vector<Line> splitLines(const std::string& text) {
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        Line line;
        line.begin = pos;
        const std::size_t newline = text.find('\n', pos);
        if (newline == std::string::npos) {
            line.end = text.size();
            line.next = text.size();
        } else {
            line.end = (newline > pos && text[newline - 1] == '\r') ? newline - 1 : newline;
            line.next = newline + 1;
        }
        lines.push_back(line);
        pos = line.next;
    }
    return lines;
}

// What a line means to the reader.
struct Parsed {
    enum Kind { Other, Section, Key } kind = Other;
    std::string name;  // section or key name, trimmed
    std::string value; // key value, trimmed
};

Parsed parseLine(const std::string& text, const Line& line, bool first) {
    std::size_t begin = line.begin;
    // A UTF-8 byte order mark that an editor put in front of the first line.
    if (first && text.compare(begin, 3, "\xEF\xBB\xBF") == 0)
        begin = std::min(begin + 3, line.end);
    const std::string content = trimmed(text.substr(begin, line.end - begin));
    Parsed parsed;
    if (content.empty())
        return parsed;
    if (content.front() == '[') {
        const std::size_t close = content.rfind(']');
        if (close != std::string::npos && close > 0) {
            parsed.kind = Parsed::Section;
            parsed.name = trimmed(content.substr(1, close - 1));
            return parsed;
        }
    }
    const std::size_t equals = content.find('=');
    if (equals == std::string::npos)
        return parsed;
    parsed.kind = Parsed::Key;
    parsed.name = trimmed(content.substr(0, equals));
    parsed.value = trimmed(content.substr(equals + 1));
    return parsed;
}

// Where a key sits in the file, as far as it was found.
struct Location {
    long long sectionLine = -1;   // header line of the section
    long long keyLine = -1;       // line of the key
    long long lastInSection = -1; // last line of the section that is not blank
};

Location locate(const std::string& text, const std::vector<Line>& lines, const std::string& section,
                const std::string& key) {
    Location where;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Parsed parsed = parseLine(text, lines[i], i == 0);
        if (parsed.kind == Parsed::Section) {
            if (where.sectionLine >= 0)
                break; // the next section begins: the key is not there
            if (equalsNoCase(parsed.name, section)) {
                where.sectionLine = static_cast<long long>(i);
                where.lastInSection = where.sectionLine;
            }
            continue;
        }
        if (where.sectionLine < 0)
            continue;
        if (!trimmed(text.substr(lines[i].begin, lines[i].end - lines[i].begin)).empty())
            where.lastInSection = static_cast<long long>(i);
        if (parsed.kind == Parsed::Key && equalsNoCase(parsed.name, key)) {
            where.keyLine = static_cast<long long>(i);
            break;
        }
    }
    return where;
}

std::string cutToBuffer(std::string text, std::size_t bufferSize) {
    if (bufferSize == 0)
        return std::string();
    if (text.size() > bufferSize - 1)
        text.resize(bufferSize - 1);
    return text;
}

// The value as the reader returns it: matching quotes around it removed.
std::string unquoted(const std::string& value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

bool fitsOneLine(const std::string& text) {
    return text.find_first_of(std::string("\r\n\0", 3)) == std::string::npos;
}

// Replaces the file at `path` with `data` so that a reader sees either the old or the new
// contents, never a mix, even when the process is stopped half way.
bool replaceFile(const std::string& path, const std::string& data) {
    std::string target = path;
    struct stat info {};
    const bool exists = ::lstat(path.c_str(), &info) == 0;
    if (exists && S_ISLNK(info.st_mode)) {
        // Replace the file the link points to, not the link itself.
        char* resolved = ::realpath(path.c_str(), nullptr);
        if (resolved) {
            target = resolved;
            std::free(resolved);
        }
    }
    struct stat targetInfo {};
    const bool targetExists = ::stat(target.c_str(), &targetInfo) == 0;
    if (targetExists && ::access(target.c_str(), W_OK) != 0)
        return false;

    const std::string temp = temporaryNameFor(target);
    if (!writeNewFile(temp, data, targetExists ? static_cast<int>(targetInfo.st_mode & 07777) : -1))
        return false;
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    // Make the rename itself durable; a failure here does not undo the write.
    const std::size_t slash = target.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : target.substr(0, slash));
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

} // namespace

std::string readProfileString(const std::string& path, const std::string& section,
                              const std::string& key, const std::string& defaultValue,
                              std::size_t bufferSize) {
    std::string fallback = defaultValue;
    while (!fallback.empty() && isBlank(fallback.back()))
        fallback.pop_back();

    std::string text;
    if (!readWholeFile(path, text))
        return cutToBuffer(fallback, bufferSize);
    const std::vector<Line> lines = splitLines(text);
    const Location where = locate(text, lines, section, key);
    if (where.keyLine < 0)
        return cutToBuffer(fallback, bufferSize);
    const Parsed parsed =
        parseLine(text, lines[static_cast<std::size_t>(where.keyLine)], where.keyLine == 0);
    return cutToBuffer(unquoted(parsed.value), bufferSize);
}

int readProfileInt(const std::string& path, const std::string& section, const std::string& key,
                   int defaultValue) {
    // A marker no value can equal tells a missing key from an empty value.
    static const std::string missing("\x01missing\x01");
    const std::string value = readProfileString(path, section, key, missing);
    if (value == missing)
        return defaultValue;
    std::size_t pos = 0;
    while (pos < value.size() && isBlank(value[pos]))
        ++pos;
    bool negative = false;
    if (pos < value.size() && (value[pos] == '+' || value[pos] == '-'))
        negative = value[pos++] == '-';
    long long number = 0;
    for (; pos < value.size() && value[pos] >= '0' && value[pos] <= '9'; ++pos) {
        number = number * 10 + (value[pos] - '0');
        if (number > static_cast<long long>(INT_MAX) + 1)
            number = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        number = -number;
    if (number > INT_MAX)
        return INT_MAX;
    if (number < INT_MIN)
        return INT_MIN;
    return static_cast<int>(number);
}

bool writeProfileString(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& value) {
    if (trimmed(section).empty() || trimmed(key).empty() || !fitsOneLine(section) ||
        !fitsOneLine(key) || !fitsOneLine(value) || key.find('=') != std::string::npos ||
        section.find(']') != std::string::npos || key.front() == '[')
        return false;

    std::string text;
    if (!readWholeFile(path, text)) {
        struct stat info {};
        if (::stat(path.c_str(), &info) == 0)
            return false; // there, but unreadable: do not replace what cannot be kept
        text.clear();
    }
    const std::vector<Line> lines = splitLines(text);
    // New lines follow the file's own line-ending style.
    const bool crlf = !lines.empty() && lines.front().next > lines.front().end + 1;
    const std::string eol = crlf ? "\r\n" : "\n";
    const auto endsWithEol = [&text] { return text.empty() || text.back() == '\n'; };

    const Location where = locate(text, lines, section, key);
    std::string result;
    if (where.keyLine >= 0) {
        const Line& line = lines[static_cast<std::size_t>(where.keyLine)];
        const Parsed parsed = parseLine(text, line, where.keyLine == 0);
        const std::size_t keyStart = text.find(parsed.name, line.begin);
        result = text.substr(0, keyStart) + parsed.name + "=" + value + text.substr(line.end);
    } else if (where.sectionLine >= 0) {
        const Line& after = lines[static_cast<std::size_t>(where.lastInSection)];
        std::string head = text.substr(0, after.next);
        if (head.empty() || head.back() != '\n')
            head += eol;
        result = head + key + "=" + value + eol + text.substr(after.next);
    } else {
        result = text;
        if (!endsWithEol())
            result += eol;
        if (!lines.empty()) {
            const Line& last = lines.back();
            if (!trimmed(text.substr(last.begin, last.end - last.begin)).empty())
                result += eol;
        }
        result += "[" + section + "]" + eol + key + "=" + value + eol;
    }
    return replaceFile(path, result);
}

} // namespace zorvexa
