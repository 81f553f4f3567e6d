// Loads commands.xml and keeps the commands configured for one window class.
//
// File layout: the document element (any name) holds window entries (elements of any
// name) with the attributes "name", "windowClass", "targetWindow", "targetWindowClass";
// each window entry holds "command" elements with "shortcut", "action", "description",
// "key", "extKey1", "extKey2". A missing attribute reads as the empty string; names and
// classes compare exactly and case-sensitively.
//
// Command ids: one counter for the whole file starts at 1 and advances for every child
// node of every matching window entry before that child's name is looked at, so skipped
// children (comments, other elements, text) leave gaps and the first child of the first
// matching entry gets id 2. The child nodes counted are those an XML DOM lists by
// default: elements, comments, processing instructions, CDATA sections and text with
// something other than white space in it. White space between elements is not a node
// (it is dropped on parsing, as a DOM does unless told to preserve it), so indenting the
// file never changes the ids.
//
// Faults in the file never stop the tool: a file that is missing or is not well-formed
// XML leaves the store empty (one line on the debug output says why), and a child of the
// document element that is not an element (a comment, for example) is skipped.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "commandtool/store/CommandEntry.h"

namespace zorvexa {

class CommandStore {
  public:
    // The file name the tool reads, relative to the working directory.
    static constexpr const char* kDefaultFileName = "commands.xml";

    // Replaces the store's contents with the entries of `fileName` whose "windowClass"
    // equals `className`.
    void loadCommands(const std::string& className, const std::string& fileName = kDefaultFileName);

    // Matching window entries in document order.
    const std::vector<CommandWindowEntry>& windowEntries() const { return entries_; }

    // The command with that id; an unknown id gives an entry with every field empty.
    CommandEntry commandById(std::int32_t id) const;

  private:
    std::vector<CommandWindowEntry> entries_;
    std::map<std::int32_t, CommandEntry> byId_;
};

} // namespace zorvexa
