// libFuzzer target: commands.xml text of any shape through Osmerak's store, for the window
// classes the text itself names and for the empty class, then every command looked up.
#include <cstddef>
#include <cstdint>
#include <string>

#include "commandtool/store/CommandStore.h"
#include "fuzz/FuzzFiles.h"

namespace {

// The first windowClass value the text holds, so that entries are matched, not skipped.
std::string firstClassIn(const std::string& text) {
    const std::string marker = "windowClass=\"";
    const std::size_t at = text.find(marker);
    if (at == std::string::npos)
        return "";
    const std::size_t start = at + marker.size();
    const std::size_t end = text.find('"', start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string path = zorvexa::fuzz::writeFuzzFile("commands.xml", text);
    zorvexa::CommandStore store;
    std::size_t sink = 0;
    for (const std::string& cls : {firstClassIn(text), std::string()}) {
        store.loadCommands(cls, path);
        for (const auto& entry : store.windowEntries()) {
            sink += entry.name.size() + entry.targetWindow.size();
            for (const auto& [id, command] : entry.commands) {
                const zorvexa::CommandEntry found = store.commandById(id);
                if (found.description != command.description || found.key != command.key)
                    __builtin_trap(); // an id must find its own command
                sink += found.shortcut.size();
            }
        }
        sink += store.commandById(-1).action.size() + store.commandById(0).action.size();
    }
    return sink == 1 ? 0 : 0;
}
