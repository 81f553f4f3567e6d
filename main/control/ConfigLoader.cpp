#include "main/control/ConfigLoader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sstream>

#include <pugixml.hpp>

#include "common/Files.h"

namespace zorvexa {

namespace {

// A missing attribute reads as the empty string.
std::string readAttribute(const pugi::xml_node& element, const char* name) {
    return element.attribute(name).value();
}

bool isElement(const pugi::xml_node& node, const char* name) {
    return node.type() == pugi::node_element && std::strcmp(node.name(), name) == 0;
}

// Line and column (both from 1) of a byte offset in the text.
void lineAndColumn(const std::string& text, std::ptrdiff_t offset, int& line, int& column) {
    line = 1;
    column = 1;
    const size_t end = offset < 0 ? 0 : std::min(text.size(), static_cast<size_t>(offset));
    for (size_t i = 0; i < end; ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
}

// Where the key attributes of the events are, for the check of what can be sent.
class KeyCollector {
  public:
    KeyCollector(const std::string& text, std::vector<KeyMention>& keys) : keys_(keys) {
        for (size_t i = 0; i < text.size(); ++i)
            if (text[i] == '\n')
                newlines_.push_back(i);
    }
    void add(const pugi::xml_node& e, const std::string& value) {
        if (value.empty())
            return;
        const auto offset = static_cast<size_t>(std::max<std::ptrdiff_t>(0, e.offset_debug()));
        const auto before = std::lower_bound(newlines_.begin(), newlines_.end(), offset);
        keys_.push_back({value, static_cast<int>(before - newlines_.begin()) + 1});
    }

  private:
    std::vector<KeyMention>& keys_;
    std::vector<size_t> newlines_; // offsets of the line ends, ascending
};

void readEvent(const pugi::xml_node& e, EventEntry& ev, KeyCollector& keys) {
    ev.action = readAttribute(e, "action");
    ev.action2 = readAttribute(e, "action2");
    ev.key = readAttribute(e, "key");
    ev.repeat = readAttribute(e, "repeat");
    ev.retriggrable = readAttribute(e, "retriggrable");
    ev.extKey = readAttribute(e, "extKey");
    ev.extKey2 = readAttribute(e, "extKey2");
    ev.x = readAttribute(e, "x");
    ev.y = readAttribute(e, "y");
    ev.execute = readAttribute(e, "execute");
    ev.sysCommand = readAttribute(e, "sysCommand");
    ev.acceleration = readAttribute(e, "acceleration");
    ev.max_acceleration = readAttribute(e, "max_acceleration");
    ev.debounce = readAttribute(e, "debounce");
    keys.add(e, ev.key);
    keys.add(e, ev.extKey);
    keys.add(e, ev.extKey2);
}

ModeEntry readMode(const pugi::xml_node& m, KeyCollector& keys) {
    ModeEntry mode;
    mode.desc = readAttribute(m, "desc");
    for (pugi::xml_node e = m.first_child(); e; e = e.next_sibling()) {
        if (!isElement(e, "event"))
            continue;
        const int slot = slotOfEventName(readAttribute(e, "name"));
        if (slot >= 0)
            readEvent(e, mode.events[static_cast<size_t>(slot)], keys);
    }
    return mode;
}

} // namespace

ConfigLoadResult parseConfiguration(const std::string& text, const std::string& name, bool beginner,
                                    Configuration& config) {
    config = Configuration{};
    ConfigLoadResult result;
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed =
        doc.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_auto);
    if (!parsed) {
        int line = 0, column = 0;
        lineAndColumn(text, parsed.offset, line, column);
        std::ostringstream msg;
        msg << name << ": " << parsed.description() << " at line " << line << ", column " << column;
        result.error = msg.str();
        return result;
    }
    const pugi::xml_node root = doc.document_element();
    if (!root) {
        result.error = name + ": the file has no document element";
        return result;
    }
    config.version = readAttribute(root, "version");
    const int initialMode = beginner ? 0 : 1;
    KeyCollector keys(text, result.keys);
    for (pugi::xml_node a = root.first_child(); a; a = a.next_sibling()) {
        if (!isElement(a, "app"))
            continue;
        AppEntry fresh;
        fresh.name = readAttribute(a, "name");
        fresh.windowClass = readAttribute(a, "windowClass");
        fresh.targetWindow = readAttribute(a, "targetWindow");
        fresh.targetWindowClass = readAttribute(a, "targetWindowClass");
        fresh.hideOverlayWindow = readAttribute(a, "hideOverlayWindow");
        for (pugi::xml_node m = a.first_child(); m; m = m.next_sibling())
            if (isElement(m, "mode"))
                fresh.modes.push_back(readMode(m, keys));
        fresh.modeIndex = initialMode;
        // A later entry for the same class replaces the earlier one whole.
        config.apps[fresh.windowClass] = std::move(fresh);
    }
    result.ok = true;
    return result;
}

ConfigLoadResult loadConfiguration(const std::string& path, bool beginner, Configuration& config) {
    std::string text;
    if (!readWholeFile(path, text)) {
        config = Configuration{};
        ConfigLoadResult result;
        result.error = path + ": cannot be read (" + std::strerror(errno) + ")";
        return result;
    }
    return parseConfiguration(text, path, beginner, config);
}

} // namespace zorvexa
