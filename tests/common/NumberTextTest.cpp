#include "common/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace zorvexa {
namespace {

TEST(ReadLeadingInt, ReadsTheLeadingDecimalPart) {
    EXPECT_EQ(readLeadingInt("42"), 42);
    EXPECT_EQ(readLeadingInt(" \t\n-17xyz"), -17);
    EXPECT_EQ(readLeadingInt("+8"), 8);
    EXPECT_EQ(readLeadingInt("3.9"), 3);
    EXPECT_EQ(readLeadingInt("007"), 7);
    EXPECT_EQ(readLeadingInt(""), 0);
    EXPECT_EQ(readLeadingInt("abc"), 0);
    EXPECT_EQ(readLeadingInt("- 5"), 0);
    EXPECT_EQ(readLeadingInt("+-5"), 0);
    EXPECT_EQ(readLeadingInt("0x1F"), 0);
}

TEST(ReadLeadingInt, SaturatesInsteadOfOverflowing) {
    EXPECT_EQ(readLeadingInt("2147483647"), std::numeric_limits<int>::max());
    EXPECT_EQ(readLeadingInt("2147483648"), std::numeric_limits<int>::max());
    EXPECT_EQ(readLeadingInt("-2147483648"), std::numeric_limits<int>::min());
    EXPECT_EQ(readLeadingInt("-2147483649"), std::numeric_limits<int>::min());
    EXPECT_EQ(readLeadingInt("123456789012345678901234567890"), std::numeric_limits<int>::max());
}

TEST(ReadLeadingReal, ReadsMantissaAndExponent) {
    EXPECT_DOUBLE_EQ(readLeadingReal("1.5"), 1.5);
    EXPECT_DOUBLE_EQ(readLeadingReal("  -2.25 units"), -2.25);
    EXPECT_DOUBLE_EQ(readLeadingReal(".5"), 0.5);
    EXPECT_DOUBLE_EQ(readLeadingReal("3."), 3.0);
    EXPECT_DOUBLE_EQ(readLeadingReal("+4"), 4.0);
    EXPECT_DOUBLE_EQ(readLeadingReal("1e3"), 1000.0);
    EXPECT_DOUBLE_EQ(readLeadingReal("2.5E-1x"), 0.25);
    // An 'e' without exponent digits ends the number before it.
    EXPECT_DOUBLE_EQ(readLeadingReal("7e"), 7.0);
    EXPECT_DOUBLE_EQ(readLeadingReal("7e+"), 7.0);
    EXPECT_DOUBLE_EQ(readLeadingReal("1.5.5"), 1.5);
}

TEST(ReadLeadingReal, TextWithoutANumberReadsAsZero) {
    EXPECT_EQ(readLeadingReal(""), 0.0);
    EXPECT_EQ(readLeadingReal("."), 0.0);
    EXPECT_EQ(readLeadingReal("-"), 0.0);
    EXPECT_EQ(readLeadingReal("e5"), 0.0);
    EXPECT_EQ(readLeadingReal("inf"), 0.0);
    EXPECT_EQ(readLeadingReal("nan"), 0.0);
    EXPECT_EQ(readLeadingReal("0x10"), 0.0); // the leading 0 only
}

TEST(ReadLeadingReal, OutOfRangeBehavesLikeStrtod) {
    EXPECT_TRUE(std::isinf(readLeadingReal("1e400")));
    EXPECT_LT(readLeadingReal("-1e400"), 0.0);
    EXPECT_EQ(readLeadingReal("1e-400"), 0.0);
    EXPECT_EQ(readLeadingReal("0.000e999999999999"), 0.0);
    EXPECT_DOUBLE_EQ(readLeadingReal("0.001e3"), 1.0);
}

} // namespace
} // namespace zorvexa
