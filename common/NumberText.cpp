#include "common/NumberText.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstddef>
#include <limits>
#include <system_error>

namespace zorvexa {

namespace {

// The white space of the C locale, independent of the process locale.
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Skips leading blanks and reads an optional sign; returns the position after them.
std::size_t skipBlanksAndSign(const std::string& text, bool& negative) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    return i;
}

} // namespace

int readLeadingInt(const std::string& text) {
    bool negative = false;
    std::size_t i = skipBlanksAndSign(text, negative);
    // Accumulate towards the sign so that INT_MIN is representable.
    long long value = 0;
    bool saturated = false;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        if (saturated) {
            continue;
        }
        const int digit = text[i] - '0';
        value = value * 10 + (negative ? -digit : digit);
        if (value > INT_MAX) {
            value = INT_MAX;
            saturated = true;
        } else if (value < INT_MIN) {
            value = INT_MIN;
            saturated = true;
        }
    }
    return static_cast<int>(value);
}

double readLeadingReal(const std::string& text) {
    bool negative = false;
    const std::size_t start = skipBlanksAndSign(text, negative);
    std::size_t i = start;

    // Mantissa: digits, optional point, digits; at least one digit in all.
    std::size_t digits = 0;
    // Decimal order of magnitude of the mantissa, used to tell overflow from underflow.
    long long order = 0;
    bool seenNonZero = false;
    while (i < text.size() && isDigit(text[i])) {
        if (text[i] != '0' || seenNonZero) {
            seenNonZero = true;
            ++order;
        }
        ++digits;
        ++i;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            if (!seenNonZero) {
                if (text[i] != '0') {
                    seenNonZero = true;
                } else {
                    --order;
                }
            }
            ++digits;
            ++i;
        }
    }
    if (digits == 0) {
        return 0.0;
    }
    std::size_t end = i;

    // Exponent: only when at least one digit follows the 'e' and its optional sign.
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool expNegative = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            expNegative = text[j] == '-';
            ++j;
        }
        if (j < text.size() && isDigit(text[j])) {
            long long exponent = 0;
            for (; j < text.size() && isDigit(text[j]); ++j) {
                if (exponent < 100000000) {
                    exponent = exponent * 10 + (text[j] - '0');
                }
            }
            order += expNegative ? -exponent : exponent;
            end = j;
        }
    }

    if (!seenNonZero) {
        return negative ? -0.0 : 0.0;
    }

    double value = 0.0;
    const char* first = text.data() + start;
    const char* last = text.data() + end;
    const auto result = std::from_chars(first, last, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // Like strtod: too large gives infinity, too small gives zero.
        value = order > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (result.ec != std::errc()) {
        value = 0.0;
    }
    return negative ? -value : value;
}

} // namespace zorvexa
