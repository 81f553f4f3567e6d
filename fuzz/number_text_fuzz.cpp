// libFuzzer target: the key-name reader and the leading-number readers on any text, as
// every numeric and key value of config.xml and commands.xml goes through them.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/KeyNames.h"
#include "common/NumberText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const zorvexa::KeyNameTable keys;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const int code = keys.lookupKey(text);
    const int number = zorvexa::readLeadingInt(text);
    const double real = zorvexa::readLeadingReal(text);
    // A text that is no key name reads as its leading number.
    if (keys.entries().count(text) == 0 && code != number)
        __builtin_trap();
    if (std::isnan(real))
        __builtin_trap(); // digits, a point and an exponent never make NaN
    return code + number == 1 ? 0 : 0;
}
