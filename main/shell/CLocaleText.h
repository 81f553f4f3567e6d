// printf-style formatting and atof-style parsing that always use the "C" locale, so the
// settings file and the sessions log read and write "0.10000" whatever the desktop's
// locale is (a GUI toolkit switches the process to the user's locale, where the decimal
// separator may be a comma).
#pragma once

#include <string>

namespace zorvexa {

// snprintf into a string; the whole result is returned, however long.
std::string formatC(const char* format, ...) __attribute__((format(printf, 1, 2)));

// atof: leading blanks, then as much of a number as is there; text without one is 0.
double parseCReal(const std::string& text);

} // namespace zorvexa
