#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commandtool/store/CommandStore.h"
#include "platform/DebugSink.h"
#include "tests/commandtool/TempFile.h"

namespace zorvexa {
namespace {

std::vector<std::int32_t> idsOf(const CommandWindowEntry& entry) {
    std::vector<std::int32_t> ids;
    for (const auto& [id, command] : entry.commands) {
        ids.push_back(id);
    }
    return ids;
}

TEST(OsmerakStore, EntriesOfTheSameClassContributeInDocumentOrderAndEveryChildTakesAnId) {
    test::TempFolder folder;
    const std::string file = folder.write("commands.xml", R"(<?xml version="1.0"?>
<commands>
  <window name="First" windowClass="App" targetWindow="tw" targetWindowClass="twc">
    <command shortcut="a" description="first" key="VK_A" action="note"/>
    <!-- a comment between commands -->
    <command shortcut="b" description="second" key="13"/>
  </window>
  <window windowClass="Other">
    <command shortcut="x" description="never read"/>
  </window>
  <window name="Second" windowClass="App">
    <separator/>
    <?marker inside?>
    <command shortcut="c" description="third" key="VK_C" extKey1="VK_CONTROL" extKey2="VK_SHIFT"/>
  </window>
</commands>
)");
    CommandStore store;
    store.loadCommands("App", file);

    const auto& entries = store.windowEntries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, "First");
    EXPECT_EQ(entries[0].targetWindow, "tw");
    EXPECT_EQ(entries[0].targetWindowClass, "twc");
    EXPECT_EQ(entries[1].name, "Second");
    // Counter starts at 1; the comment takes 3, the other element 5, the instruction 6.
    EXPECT_EQ(idsOf(entries[0]), (std::vector<std::int32_t>{2, 4}));
    EXPECT_EQ(idsOf(entries[1]), (std::vector<std::int32_t>{7}));

    const CommandEntry second = store.commandById(4);
    EXPECT_EQ(second.shortcut, "b");
    EXPECT_EQ(second.description, "second");
    EXPECT_EQ(second.key, "13");
    EXPECT_EQ(second.extKey1, "");
    EXPECT_EQ(store.commandById(2).action, "note");
    const CommandEntry third = store.commandById(7);
    EXPECT_EQ(third.extKey1, "VK_CONTROL");
    EXPECT_EQ(third.extKey2, "VK_SHIFT");
    EXPECT_EQ(third.id, 7);

    // Gaps and unknown ids give an empty command.
    for (const std::int32_t id : {0, 3, 5, 99}) {
        const CommandEntry none = store.commandById(id);
        EXPECT_TRUE(none.shortcut.empty() && none.description.empty() && none.key.empty()) << id;
    }
}

TEST(OsmerakStore, NonMatchingEntriesTakeNoIdsWhatEverTheyHold) {
    test::TempFolder folder;
    const std::string file = folder.write("commands.xml", R"(<root>
  <!-- comments beside the entries are allowed -->
  <w windowClass="Other">text<![CDATA[raw]]><command/><x><y/></x><command/></w>
  <w windowClass="App">
    loose text takes an id
    <command shortcut="one"/>
  </w>
</root>)");
    CommandStore store;
    store.loadCommands("App", file);
    ASSERT_EQ(store.windowEntries().size(), 1u);
    // White space between elements is no node; the text is one.
    EXPECT_EQ(idsOf(store.windowEntries()[0]), (std::vector<std::int32_t>{3}));
    EXPECT_EQ(store.commandById(3).shortcut, "one");
}

TEST(OsmerakStore, ClassesCompareExactlyAndCaseSensitively) {
    test::TempFolder folder;
    const std::string file = folder.write("commands.xml", R"(<c>
  <w windowClass="firefox"><command shortcut="lower"/></w>
  <w windowClass="Firefox "><command shortcut="trailing blank"/></w>
  <w><command shortcut="no class"/></w>
</c>)");
    CommandStore store;
    store.loadCommands("Firefox", file);
    EXPECT_TRUE(store.windowEntries().empty());
    store.loadCommands("firefox", file);
    ASSERT_EQ(store.windowEntries().size(), 1u);
    EXPECT_EQ(store.commandById(2).shortcut, "lower");
    // Loading again replaces what was there.
    store.loadCommands("nothing", file);
    EXPECT_TRUE(store.windowEntries().empty());
    EXPECT_TRUE(store.commandById(2).shortcut.empty());
}

TEST(OsmerakStore, MissingOrBrokenFilesLeaveTheStoreEmpty) {
    test::TempFolder folder;
    std::vector<std::string> messages;
    setDebugCapture([&messages](const std::string& text) { messages.push_back(text); });

    const std::string good = R"(<c><w windowClass="App"><command shortcut="a"/></w></c>)";
    CommandStore store;
    store.loadCommands("App", folder.write("good.xml", good));
    ASSERT_EQ(store.windowEntries().size(), 1u);

    const std::vector<std::string> bad = {
        "",                                                            // empty file
        "<c><w windowClass=\"App\"><command shortcut=\"a\"/></w>",     // cut short
        "<c><w windowClass=\"App\"><command shortcut=\"a\"/></w></x>", // wrong end tag
        "<!-- only a comment -->",                                     // no document element
    };
    for (const std::string& content : bad) {
        store.loadCommands("App", folder.write("bad.xml", content));
        EXPECT_TRUE(store.windowEntries().empty()) << content;
        EXPECT_TRUE(store.commandById(2).shortcut.empty()) << content;
    }
    messages.clear();
    store.loadCommands("App", folder.file("absent.xml"));
    EXPECT_TRUE(store.windowEntries().empty());
    setDebugCapture(nullptr);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("absent.xml"), std::string::npos);
}

TEST(OsmerakStore, ShippedFileIsWellFormedAndOffersCommandsForCommonPrograms) {
    const std::string file = std::string(ZORVEXA_SOURCE_DIR) + "/data/commands.xml";
    for (const char* windowClass :
         {"firefox", "firefox-esr", "Chromium", "Evince", "libreoffice-impress", "vlc", "XTerm"}) {
        CommandStore store;
        store.loadCommands(windowClass, file);
        ASSERT_FALSE(store.windowEntries().empty()) << windowClass;
        for (const auto& entry : store.windowEntries()) {
            for (const auto& [id, command] : entry.commands) {
                EXPECT_FALSE(command.key.empty()) << windowClass << " " << command.description;
                EXPECT_FALSE(command.description.empty()) << windowClass;
            }
        }
    }
}

} // namespace
} // namespace zorvexa
