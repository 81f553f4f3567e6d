#include "commandtool/store/CommandStore.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

#include <pugixml.hpp>

#include "platform/DebugSink.h"

namespace zorvexa {

namespace {

// Comments and processing instructions are nodes of the tree (they take ids); white-space
// text between elements is not.
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_comments | pugi::parse_pi;

std::string attributeText(const pugi::xml_node& node, const char* name) {
    return node.attribute(name).value(); // "" when the attribute is absent
}

} // namespace

void CommandStore::loadCommands(const std::string& className, const std::string& fileName) {
    entries_.clear();
    byId_.clear();

    // Read whole first, so that each command's line can be told.
    std::ifstream in(fileName, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    pugi::xml_document document;
    const pugi::xml_parse_result parsed =
        in ? document.load_buffer(text.data(), text.size(), kParseOptions)
           : document.load_file(fileName.c_str(), kParseOptions); // the reason it cannot be read
    std::vector<std::size_t> newlines;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            newlines.push_back(i);
        }
    }
    if (!parsed) {
        // A partly parsed tree is not used: either the whole file counts or none of it.
        debugOutput("Osmerak: cannot read " + fileName + ": " + parsed.description() + "\n");
        return;
    }
    const pugi::xml_node root = document.document_element();
    if (!root) {
        debugOutput("Osmerak: " + fileName + " has no document element\n");
        return;
    }

    std::int32_t counter = 1;
    for (const pugi::xml_node& windowNode : root.children()) {
        if (windowNode.type() != pugi::node_element) {
            continue; // a comment or text beside the window entries carries no attributes
        }
        CommandWindowEntry entry;
        entry.name = attributeText(windowNode, "name");
        entry.windowClass = attributeText(windowNode, "windowClass");
        entry.targetWindow = attributeText(windowNode, "targetWindow");
        entry.targetWindowClass = attributeText(windowNode, "targetWindowClass");
        if (entry.windowClass != className) {
            continue;
        }
        for (const pugi::xml_node& child : windowNode.children()) {
            ++counter;
            if (child.type() != pugi::node_element || std::string(child.name()) != "command") {
                continue;
            }
            CommandEntry command;
            command.shortcut = attributeText(child, "shortcut");
            command.action = attributeText(child, "action");
            command.description = attributeText(child, "description");
            command.key = attributeText(child, "key");
            command.extKey1 = attributeText(child, "extKey1");
            command.extKey2 = attributeText(child, "extKey2");
            command.id = counter;
            const auto offset =
                static_cast<std::size_t>(std::max<std::ptrdiff_t>(0, child.offset_debug()));
            command.line = static_cast<int>(
                std::lower_bound(newlines.begin(), newlines.end(), offset) - newlines.begin() + 1);
            entry.commands[counter] = command;
            byId_[counter] = command;
        }
        entries_.push_back(std::move(entry));
    }
}

CommandEntry CommandStore::commandById(std::int32_t id) const {
    const auto found = byId_.find(id);
    return found == byId_.end() ? CommandEntry{} : found->second;
}

} // namespace zorvexa
