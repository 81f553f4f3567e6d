// libFuzzer target: config.xml text of any shape goes through the loader and every value
// through the conversions the dispatcher applies when an event fires.
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/KeyNames.h"
#include "common/NumberText.h"
#include "main/control/ConfigLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const zorvexa::KeyNameTable keys;
    const std::string text(reinterpret_cast<const char*>(data), size);
    zorvexa::Configuration config;
    const bool beginner = size > 0 && (data[0] & 1);
    zorvexa::parseConfiguration(text, "config.xml", beginner, config);
    long sink = 0;
    for (const auto& [cls, app] : config.apps) {
        sink += static_cast<long>(cls.size()) + app.modeIndex;
        for (const auto& mode : app.modes) {
            for (const auto& e : mode.events) {
                sink +=
                    keys.lookupKey(e.key) + keys.lookupKey(e.extKey) + keys.lookupKey(e.extKey2);
                sink += zorvexa::readLeadingInt(e.repeat) + zorvexa::readLeadingInt(e.x) +
                        zorvexa::readLeadingInt(e.y) + zorvexa::readLeadingInt(e.debounce);
                sink += static_cast<long>(zorvexa::readLeadingReal(e.acceleration) > 0) +
                        static_cast<long>(zorvexa::readLeadingReal(e.max_acceleration) > 0);
            }
        }
    }
    return sink == 42 ? 0 : 0;
}
