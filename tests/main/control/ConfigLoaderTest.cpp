#include <gtest/gtest.h>

#include <algorithm>

#include "ControlTestSupport.h"
#include "common/VirtualKeys.h"
#include "main/control/ConfigLoader.h"

using namespace zorvexa;
using namespace zorvexa::testing;

namespace {
Configuration parse(const std::string& text, bool beginner = false) {
    Configuration c;
    EXPECT_TRUE(parseConfiguration(text, "config.xml", beginner, c).ok);
    return c;
}
} // namespace

TEST(ConfigLoader, ReadsTheTreeAndIgnoresEverythingElse) {
    const Configuration c = parse(doc(R"(
        <!-- a comment -->
        <other windowClass="X"/>
        <app name="Browser" windowClass="firefox" targetWindow="t" targetWindowClass="tc"
             hideOverlayWindow="true">
          <mode desc="first">
            <event name="UP_MOTION" action="WM_KEYDOWN" key="VK_UP" repeat="3"
                   retriggrable="false" extKey="VK_CONTROL" extKey2="VK_SHIFT" x="1" y="2"
                   execute="e" sysCommand="s" acceleration="1.5" max_acceleration="4"
                   debounce="15"/>
            <event name="up_motion" action="WM_KEYDOWN" key="VK_A"/>
            <event name="LEFTTORIGHT_MOTION" action="L2R"/>
            <event name="RIGHTTOLEFT_MOTION" action="R2L"/>
            <note name="DOWN_MOTION" action="X"/>
          </mode>
          <notamode/>
          <mode/>
        </app>)"));
    EXPECT_EQ(c.version, "7");
    ASSERT_EQ(c.apps.size(), 1u);
    const AppEntry& a = c.apps.at("firefox");
    EXPECT_EQ(a.name, "Browser");
    EXPECT_EQ(a.targetWindow, "t");
    EXPECT_EQ(a.targetWindowClass, "tc");
    EXPECT_EQ(a.hideOverlayWindow, "true");
    EXPECT_EQ(a.modeIndex, 1);
    ASSERT_EQ(a.modes.size(), 2u);
    EXPECT_EQ(a.modes[0].desc, "first");
    const EventEntry& up = a.modes[0].events[0];
    EXPECT_EQ(up.action, "WM_KEYDOWN");
    EXPECT_EQ(up.key, "VK_UP");
    EXPECT_EQ(up.repeat, "3");
    EXPECT_EQ(up.retriggrable, "false");
    EXPECT_EQ(up.extKey, "VK_CONTROL");
    EXPECT_EQ(up.extKey2, "VK_SHIFT");
    EXPECT_EQ(up.x, "1");
    EXPECT_EQ(up.y, "2");
    EXPECT_EQ(up.execute, "e");
    EXPECT_EQ(up.sysCommand, "s");
    EXPECT_EQ(up.acceleration, "1.5");
    EXPECT_EQ(up.max_acceleration, "4");
    EXPECT_EQ(up.debounce, "15");
    // Slot 6 is LEFTTORIGHT, slot 7 RIGHTTOLEFT.
    EXPECT_EQ(a.modes[0].events[6].action, "L2R");
    EXPECT_EQ(a.modes[0].events[7].action, "R2L");
    EXPECT_TRUE(a.modes[0].events[3].action.empty()) << "only <event> elements count";
    EXPECT_TRUE(a.modes[1].desc.empty());
}

TEST(ConfigLoader, RootWithoutAppsGivesAnEmptyConfiguration) {
    const Configuration c = parse("<config version=\"2\"><mode/></config>");
    EXPECT_TRUE(c.apps.empty());
    EXPECT_EQ(c.version, "2");
}

TEST(ConfigLoader, LaterEntryForTheSameClassReplacesTheEarlierOne) {
    const Configuration c = parse(doc(R"(
        <app name="one" windowClass="C" hideOverlayWindow="true"><mode desc="a"/><mode desc="b"/></app>
        <app name="two" windowClass="C"><mode desc="c"/></app>
        <app windowClass="D"/>
        <app name="nameless"/>)"),
                                  true);
    ASSERT_EQ(c.apps.size(), 3u);
    const AppEntry& a = c.apps.at("C");
    EXPECT_EQ(a.name, "two");
    EXPECT_EQ(a.hideOverlayWindow, "");
    ASSERT_EQ(a.modes.size(), 1u);
    EXPECT_EQ(a.modes[0].desc, "c");
    EXPECT_EQ(a.modeIndex, 0) << "beginner";
    EXPECT_TRUE(c.apps.at("D").modes.empty()) << "an entry without modes still exists";
    EXPECT_EQ(c.apps.count(""), 1u) << "no windowClass: keyed by the empty name";
}

TEST(ConfigLoader, AbsentAndEmptyAttributesAreTheSame) {
    const Configuration a = parse(doc(R"(<app windowClass="C"><mode>
        <event name="UP_MOTION" action="WM_KEYDOWN"/></mode></app>)"));
    const Configuration b = parse(doc(R"(<app windowClass="C" name=""><mode desc="">
        <event name="UP_MOTION" action="WM_KEYDOWN" key="" repeat="" retriggrable=""/></mode></app>)"));
    const EventEntry& ea = a.apps.at("C").modes[0].events[0];
    const EventEntry& eb = b.apps.at("C").modes[0].events[0];
    EXPECT_EQ(ea.key, eb.key);
    EXPECT_EQ(ea.repeat, eb.repeat);
    EXPECT_EQ(ea.retriggrable, eb.retriggrable);
    EXPECT_EQ(a.apps.at("C").name, b.apps.at("C").name);
}

TEST(ConfigLoader, OnlyTheExactRetriggrableSpellingIsRead) {
    const Configuration c = parse(doc(R"(<app windowClass="C"><mode>
        <event name="UP_MOTION" action="A" Retriggrable="false"/>
        <event name="DOWN_MOTION" action="A" retriggerable="false"/>
        <event name="DOWNLEFT_MOTION" action="A" retriggrable="false"/></mode></app>)"));
    const ModeEntry& m = c.apps.at("C").modes[0];
    EXPECT_EQ(m.events[0].retriggrable, "");
    EXPECT_EQ(m.events[3].retriggrable, "");
    EXPECT_EQ(m.events[5].retriggrable, "false");
}

TEST(ConfigLoader, RepeatedEventRewritesTheWholeSlot) {
    const Configuration c = parse(doc(R"(<app windowClass="C"><mode>
        <event name="UP_MOTION" action="A" key="VK_A" debounce="5"/>
        <event name="UP_MOTION" action="B"/></mode></app>)"));
    const EventEntry& e = c.apps.at("C").modes[0].events[0];
    EXPECT_EQ(e.action, "B");
    EXPECT_EQ(e.key, "");
    EXPECT_EQ(e.debounce, "");
}

TEST(ConfigLoader, BadFilesGiveOneClearMessageAndNothingElse) {
    Configuration c;
    c.apps["stale"];
    ConfigLoadResult r = loadConfiguration("/nonexistent/config.xml", false, c);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("/nonexistent/config.xml"), std::string::npos) << r.error;
    EXPECT_TRUE(c.apps.empty());

    c.apps["stale"];
    r = parseConfiguration("<config>\n  <app windowClass=\"C\">\n</config>", "config.xml", false,
                           c);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("config.xml"), std::string::npos);
    EXPECT_NE(r.error.find("line 3"), std::string::npos) << r.error;
    EXPECT_TRUE(c.apps.empty());

    for (const char* text : {"", "   ", "<!-- only a comment -->"}) {
        r = parseConfiguration(text, "config.xml", false, c);
        EXPECT_FALSE(r.ok) << text;
        EXPECT_FALSE(r.error.empty());
    }
}

TEST(ConfigLoader, AReloadAfterFixingTheFileWorks) {
    DebugLog log;
    Rig rig("<config><app windowClass=\"App\"></config>");
    EXPECT_FALSE(rig.events->loadError().empty());
    EXPECT_TRUE(rig.events->configuration().apps.empty());
    rig.frame(kDirUp); // nothing configured: nothing happens, nothing breaks

    rig.config.write(doc("<app windowClass=\"App\"><mode/><mode/></app>"));
    rig.reload();
    EXPECT_TRUE(rig.events->loadError().empty());
    EXPECT_EQ(rig.events->configuration().apps.size(), 1u);
}

TEST(ShippedConfiguration, LoadsAndBindsUsableKeys) {
    Configuration c;
    const ConfigLoadResult r =
        loadConfiguration(std::string(ZORVEXA_SOURCE_DIR) + "/data/config.xml", false, c);
    ASSERT_TRUE(r.ok) << r.error;
    const KeyNameTable keys;
    EXPECT_TRUE(unsendableKeyMessages("config.xml", r.keys, keys, [](int vk) {
                    return keysymOfVirtualKey(vk) != 0;
                }).empty());
    for (const auto& [cls, app] : c.apps) {
        EXPECT_GE(app.modes.size(), 2u) << cls << " needs a mode for each setting";
        for (const ModeEntry& m : app.modes) {
            EXPECT_FALSE(m.desc.empty()) << cls;
            for (const EventEntry& e : m.events) {
                for (const std::string* k : {&e.key, &e.extKey, &e.extKey2}) {
                    if (!k->empty()) {
                        EXPECT_NE(keys.lookupKey(*k), 0) << cls << ": " << *k;
                    }
                }
            }
        }
    }
    ASSERT_EQ(c.apps.count("default"), 1u);
    ASSERT_EQ(c.apps.count("Osmerak"), 1u);
    // The command dialog is driven by Up, Down, N, Enter and Escape.
    const ModeEntry& osmerak = c.apps.at("Osmerak").modes[1];
    std::vector<std::string> bound;
    for (const EventEntry& e : osmerak.events)
        if (!e.key.empty())
            bound.push_back(e.key);
    std::sort(bound.begin(), bound.end());
    EXPECT_EQ(bound,
              (std::vector<std::string>{"VK_DOWN", "VK_ESCAPE", "VK_N", "VK_RETURN", "VK_UP"}));
}

TEST(ConfigLoader, KeysThatCannotBeSentAreReportedOnceWithFileAndLine) {
    TempConfig config(doc(R"(<app windowClass="App"><mode/><mode>
        <event name="UP_MOTION" action="WM_KEYDOWN" key="VK_LBUTTON"/>
        <event name="DOWN_MOTION" action="WM_KEYDOWN" key="VK_PLAY"
               extKey="VK_CONTROL" extKey2="VK_XBUTTON1"/>
        <event name="LEFT_MOTION" action="WM_KEYDOWN" key="13"/>
        <event name="RIGHT_MOTION" action="WM_KEYDOWN" key="VK_NOSUCHKEY"/>
    </mode></app>)"));
    AppState state;
    DebugLog log;
    CControlEvents events(state, std::make_shared<FakeDesktop>(), {config.path(), "", {}});
    const std::string file = config.path();
    EXPECT_EQ(events.keyWarnings(),
              (std::vector<std::string>{
                  file + ", line 4: the key VK_LBUTTON cannot be sent on this desktop",
                  file + ", line 5: the key VK_XBUTTON1 cannot be sent on this desktop"}));
    EXPECT_TRUE(log.contains(events.keyWarnings()[0] + "\n"));
    EXPECT_TRUE(events.loadError().empty()) << "the file itself is fine";
}
