#include "tools/analyze/JsonLine.h"

#include <charconv>
#include <cmath>

namespace zorvexa {

namespace {

// Shortest text that reads back as the same double.
void appendNumber(std::string& out, double v) {
    if (!std::isfinite(v)) {
        out += "null";
        return;
    }
    char buf[32];
    auto res = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, res.ptr);
}

} // namespace

std::string frameJsonLine(int frame, int count, const std::vector<MotionSegment>& segments,
                          int direction) {
    std::string out;
    out.reserve(96 + segments.size() * 64);
    out += "{\"frame\": " + std::to_string(frame) + ", \"count\": " + std::to_string(count) +
           ", \"segments\": [";
    for (size_t i = 0; i < segments.size(); ++i) {
        const MotionSegment& s = segments[i];
        if (i)
            out += ", ";
        out += "{\"x\": " + std::to_string(s.x) + ", \"y\": " + std::to_string(s.y) +
               ", \"w\": " + std::to_string(s.width) + ", \"h\": " + std::to_string(s.height) +
               ", \"angle\": ";
        appendNumber(out, s.angle);
        out += "}";
    }
    out += "], \"direction\": " + std::to_string(direction) + "}";
    return out;
}

} // namespace zorvexa
