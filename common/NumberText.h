// Leading-number readers used for every numeric value of the configuration files:
// optional leading white space and sign, then as much of a number as is there; text
// without a number reads as 0. Out-of-range integers saturate instead of overflowing.
#pragma once

#include <string>

namespace zorvexa {

int readLeadingInt(const std::string& text);
double readLeadingReal(const std::string& text);

} // namespace zorvexa
