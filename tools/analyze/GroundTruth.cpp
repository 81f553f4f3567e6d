#include "tools/analyze/GroundTruth.h"

#include <cctype>
#include <climits>
#include <cstring>

#include "main/motion/MotionDir.h"

namespace zorvexa {

namespace {

// A reader of just the JSON this needs: one array of flat objects with string and
// integer values.
class Reader {
  public:
    explicit Reader(const std::string& text) : s_(text) {}

    bool failed() const { return !error_.empty(); }
    const std::string& error() const { return error_; }

    void fail(const std::string& what) {
        if (error_.empty())
            error_ = what + " at offset " + std::to_string(pos_);
    }
    void skipSpace() {
        while (pos_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[pos_])))
            ++pos_;
    }
    bool eat(char c) {
        skipSpace();
        if (pos_ < s_.size() && s_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    bool atEnd() {
        skipSpace();
        return pos_ >= s_.size();
    }
    char peek() {
        skipSpace();
        return pos_ < s_.size() ? s_[pos_] : '\0';
    }
    std::string string() {
        if (!eat('"')) {
            fail("expected a string");
            return {};
        }
        std::string out;
        while (pos_ < s_.size() && s_[pos_] != '"') {
            if (s_[pos_] == '\\') {
                fail("escapes are not expected");
                return {};
            }
            out += s_[pos_++];
        }
        if (pos_ >= s_.size()) {
            fail("unterminated string");
            return {};
        }
        ++pos_;
        return out;
    }
    long long integer() {
        skipSpace();
        const size_t begin = pos_;
        if (pos_ < s_.size() && s_[pos_] == '-')
            ++pos_;
        long long v = 0;
        bool digits = false;
        while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) {
            v = v * 10 + (s_[pos_++] - '0');
            digits = true;
            if (v > INT_MAX) {
                fail("number too large");
                return 0;
            }
        }
        if (!digits || (pos_ < s_.size() && std::strchr(".eE", s_[pos_]))) {
            pos_ = begin;
            fail("expected a whole number");
            return 0;
        }
        return s_[begin] == '-' ? -v : v;
    }

  private:
    const std::string& s_;
    size_t pos_ = 0;
    std::string error_;
};

int directionCode(const std::string& name) {
    for (int code = 2; code <= 10; ++code)
        if (name == directionName(code))
            return code;
    return 0;
}

bool readStroke(Reader& in, TruthStroke& out) {
    if (!in.eat('{')) {
        in.fail("expected an object");
        return false;
    }
    bool type = false, start = false, end = false;
    if (!in.eat('}')) {
        do {
            const std::string key = in.string();
            if (!in.eat(':'))
                in.fail("expected ':'");
            if (in.failed())
                return false;
            if (in.peek() == '"') {
                const std::string value = in.string();
                if (key == "type") {
                    out.type = directionCode(value);
                    if (out.type == 0)
                        in.fail("unknown stroke type \"" + value + "\"");
                    type = true;
                }
            } else {
                const long long v = in.integer();
                if (key == "start" || key == "end") {
                    (key == "start" ? out.start : out.end) = static_cast<int>(v);
                    (key == "start" ? start : end) = true;
                }
            }
            if (in.failed())
                return false;
        } while (in.eat(','));
        if (!in.eat('}')) {
            in.fail("expected ',' or '}'");
            return false;
        }
    }
    if (!type || !start || !end) {
        in.fail("a stroke needs \"type\", \"start\" and \"end\"");
        return false;
    }
    if (out.start < 1 || out.end < out.start) {
        in.fail("a stroke must have 1 <= start <= end");
        return false;
    }
    return true;
}

} // namespace

TruthFile parseTruth(const std::string& text) {
    TruthFile file;
    Reader in(text);
    if (!in.eat('[')) {
        file.error = "expected a JSON array of strokes";
        return file;
    }
    if (!in.eat(']')) {
        do {
            TruthStroke s;
            if (!readStroke(in, s))
                break;
            file.strokes.push_back(s);
        } while (in.eat(','));
        if (!in.failed() && !in.eat(']'))
            in.fail("expected ',' or ']'");
    }
    if (!in.failed() && !in.atEnd())
        in.fail("unexpected text after the array");
    if (in.failed()) {
        file.strokes.clear();
        file.error = in.error();
        return file;
    }
    file.ok = true;
    return file;
}

} // namespace zorvexa
