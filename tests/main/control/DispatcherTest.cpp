#include <gtest/gtest.h>

#include <limits>

#include "ControlTestSupport.h"

using namespace zorvexa;
using namespace zorvexa::testing;
using Kind = FakeDesktopCall::Kind;

namespace {

// One application "App" whose modes 0 and 1 hold the given events.
std::string app(const std::string& events, const std::string& extraModes = "") {
    return doc("<app windowClass=\"App\"><mode desc=\"zero\">" + events +
               "</mode><mode desc=\"one\">" + events + "</mode>" + extraModes + "</app>");
}

} // namespace

TEST(Dispatcher, FramesWithoutGestureOnlyCountTheDebounceDown) {
    Rig rig(app(R"(<event name="UP_MOTION" action="WM_KEYDOWN" key="VK_A" debounce="3"/>)"));
    rig.frame(kDirUp);
    ASSERT_TRUE(rig.settle());
    EXPECT_EQ(rig.calls(Kind::SendKeyRecords).size(), 1u);
    EXPECT_EQ(rig.state.debounceFrames, 3);
    rig.frame(0);
    rig.frame(0);
    EXPECT_EQ(rig.state.debounceFrames, 1);
    rig.frame(kDirUp); // the countdown reaches 0 on this call, which is still blocked
    rig.frame(kDirUp);
    ASSERT_TRUE(rig.settle());
    EXPECT_EQ(rig.calls(Kind::SendKeyRecords).size(), 2u);
}

TEST(Dispatcher, DebounceIsScaledToTheMeasuredFrameRate) {
    const std::string xml =
        app(R"(<event name="UP_MOTION" action="WM_KEYDOWN" key="VK_A" debounce="15"/>)");
    {
        Rig rig(xml);
        rig.state.fps = 10;
        rig.frame(kDirUp);
        EXPECT_EQ(rig.state.debounceFrames, 5);
        for (int i = 0; i < 4; ++i)
            rig.frame(kDirUp);
        rig.frame(kDirUp); // fifth frame after the event fires again
        ASSERT_TRUE(rig.settle());
        EXPECT_EQ(rig.calls(Kind::SendKeyRecords).size(), 2u);
    }
    {
        Rig rig(xml);
        rig.state.fps = 60;
        rig.frame(kDirUp);
        EXPECT_EQ(rig.state.debounceFrames, 30);
    }
    {
        Rig rig(app(R"(<event name="UP_MOTION" action="WM_KEYDOWN" key="VK_A" debounce="-9"/>)"));
        rig.frame(kDirUp);
        EXPECT_EQ(rig.state.debounceFrames, 0) << "a negative pause is no pause";
        rig.frame(kDirUp);
        ASSERT_TRUE(rig.settle());
        EXPECT_EQ(rig.calls(Kind::SendKeyRecords).size(), 2u);
    }
}

TEST(Dispatcher, NonRetriggerableEventsFireOncePerRun) {
    Rig rig(app(R"(<event name="UP_MOTION" action="WM_KEYDOWN" key="VK_A" retriggrable="false"/>
                   <event name="DOWN_MOTION" action="WM_KEYDOWN" key="VK_B"/>)"));
    for (int i = 0; i < 20; ++i)
        rig.frame(kDirUp);
    ASSERT_TRUE(rig.settle());
    EXPECT_EQ(rig.calls(Kind::SendKeyRecords).size(), 1u);
    rig.frame(0);
    rig.strokeFrame(kDirUp);
    rig.strokeFrame(kDirDown);
    rig.strokeFrame(kDirUp);
    EXPECT_EQ(rig.calls(Kind::SendKeyRecords).size(), 4u);
}

TEST(Dispatcher, AccelerationOfRepeatedMoves) {
    auto moves = [](const std::string& event, int frames) {
        Rig rig(app(event));
        std::vector<int> xs;
        for (int i = 0; i < frames; ++i) {
            rig.frame(kDirDownRight);
            EXPECT_TRUE(
                rig.desktop->waitForCalls(static_cast<size_t>(i + 1), std::chrono::seconds(5)));
        }
        for (const auto& c : rig.calls(Kind::MoveMouseRelative))
            xs.push_back(c.x);
        return xs;
    };
    EXPECT_EQ(moves(R"(<event name="DOWNRIGHT_MOTION" action="MOUSEEVENTF_MOVE" x="1" y="0"
                         acceleration="2" max_acceleration="8"/>)",
                    5),
              (std::vector<int>{1, 2, 4, 8, 8}));
    EXPECT_EQ(moves(R"(<event name="DOWNRIGHT_MOTION" action="MOUSEEVENTF_MOVE" x="10"
                         acceleration="1.5" max_acceleration="4"/>)",
                    7),
              (std::vector<int>{10, 15, 22, 33, 50, 40, 40}));
    EXPECT_EQ(moves(R"(<event name="DOWNRIGHT_MOTION" action="MOUSEEVENTF_MOVE" x="10"
                         acceleration="2"/>)",
                    3),
              (std::vector<int>{10, 0, 0}))
        << "without a cap the second trigger moves by 0";
}

TEST(Dispatcher, HugeAccelerationSaturatesInsteadOfOverflowing) {
    Rig rig(app(R"(<event name="UP_MOTION" action="MOUSEEVENTF_MOVE" x="2000000000" y="-5"
                   acceleration="1e300" max_acceleration="1e300"/>)"));
    for (int i = 0; i < 3; ++i)
        rig.strokeFrame(kDirUp);
    const auto moves = rig.calls(Kind::MoveMouseRelative);
    ASSERT_EQ(moves.size(), 3u);
    EXPECT_EQ(moves[1].x, std::numeric_limits<int>::max());
    EXPECT_EQ(moves[1].y, std::numeric_limits<int>::min());
}

TEST(Dispatcher, AccelerationRunSurvivesPausesAndRestartsOnAnotherDirection) {
    Rig rig(app(
        R"(<event name="UP_MOTION" action="MOUSEEVENTF_MOVE" y="-4" acceleration="2" max_acceleration="8"/>
                   <event name="DOWN_MOTION" action="MOUSEEVENTF_MOVE" y="4" acceleration="2" max_acceleration="8"/>)"));
    rig.frame(kDirUp);
    rig.frame(0);
    rig.frame(kDirUp);
    EXPECT_FLOAT_EQ(rig.state.accelerationFactor, 2.0f);
    rig.frame(kDirDown);
    EXPECT_FLOAT_EQ(rig.state.accelerationFactor, 1.0f);
    EXPECT_EQ(rig.state.accelerationDirection, kDirDown);
    rig.settle();
}

TEST(Dispatcher, ModeCyclingWithBeginnerSettingsOff) {
    Rig rig(doc(R"(<app windowClass="App">
        <mode desc="m0"/>
        <mode desc="m1"><event name="UP_MOTION" action2="SWITCHMODE"/>
                        <event name="DOWN_MOTION" action="REVERSE_SWITCHMODE"/></mode>
        <mode desc="m2"><event name="UP_MOTION" action2="SWITCHMODE"/>
                        <event name="DOWN_MOTION" action="REVERSE_SWITCHMODE"/></mode>
        <mode desc="m3"><event name="UP_MOTION" action2="SWITCHMODE"/>
                        <event name="DOWN_MOTION" action="REVERSE_SWITCHMODE"/></mode>
        </app>)"));
    std::vector<int> forward;
    for (int i = 0; i < 4; ++i) {
        rig.frame(kDirUp);
        rig.frame(0);
        forward.push_back(rig.events->currentApp()->modeIndex);
    }
    EXPECT_EQ(forward, (std::vector<int>{2, 3, 1, 2}));
    EXPECT_EQ(rig.state.modeCaption, "m2");
    std::vector<int> backward;
    for (int i = 0; i < 3; ++i) {
        rig.frame(kDirDown);
        rig.frame(0);
        backward.push_back(rig.events->currentApp()->modeIndex);
    }
    EXPECT_EQ(backward, (std::vector<int>{1, 3, 2}));
    EXPECT_EQ(rig.state.debounceFrames, 0) << "a switch by action2 alone sets no pause";
    ASSERT_TRUE(rig.settle());
    EXPECT_TRUE(rig.desktop->calls().empty()) << "switching sends nothing";
}

TEST(Dispatcher, BeginnerSettingsShowModeZeroButSwitchTheEntry) {
    Rig rig(doc(R"(<app windowClass="App">
        <mode desc="m0"><event name="UP_MOTION" action="SWITCHMODE"/></mode>
        <mode desc="m1"><event name="UP_MOTION" action="SWITCHMODE"/></mode>
        <mode desc="m2"/></app>)"),
            true);
    rig.frame(kDirUp);
    EXPECT_EQ(rig.events->currentApp()->modeIndex, 1);
    EXPECT_EQ(rig.state.modeCaption, "m1") << "shown right after the switch";
    rig.frame(0);
    rig.frame(kDirDown);
    EXPECT_EQ(rig.state.modeCaption, "m0") << "every dispatch shows mode 0 again";
    rig.frame(kDirUp); // events come from modes[1]; shown mode 0 + 1 = 1 again
    EXPECT_EQ(rig.events->currentApp()->modeIndex, 1);
    rig.settle();
}

TEST(Dispatcher, SingleModeWithBeginnerSettingsOffHasNoActiveMode) {
    Rig rig(doc(R"(<app windowClass="App"><mode desc="only">
        <event name="UP_MOTION" action="WM_KEYDOWN" key="VK_A"/></mode></app>)"));
    rig.events->selectApplication("");
    EXPECT_FALSE(rig.events->hasAction(kDirUp));
    rig.frame(kDirUp);
    ASSERT_TRUE(rig.settle());
    EXPECT_TRUE(rig.desktop->calls().empty());
}

TEST(Dispatcher, EachApplicationKeepsItsMode) {
    const std::string modes =
        R"(<mode desc="0"/><mode desc="1"><event name="UP_MOTION" action="SWITCHMODE"/></mode>
                                <mode desc="2"><event name="UP_MOTION" action="SWITCHMODE"/></mode>)";
    Rig rig(doc("<app windowClass=\"App\">" + modes + "</app><app windowClass=\"Other\">" + modes +
                "</app>"));
    rig.frame(kDirUp);
    EXPECT_EQ(rig.events->currentApp()->modeIndex, 2);
    rig.desktop->setForeground(2, "Other");
    rig.frame(kDirDown);
    EXPECT_EQ(rig.state.modeCaption, "1");
    rig.desktop->setForeground(1, "App");
    rig.frame(kDirDown);
    EXPECT_EQ(rig.state.modeCaption, "2");
    rig.settle();
}

TEST(Dispatcher, DefaultEntryPressesArrowKeysOnEveryFrame) {
    Rig rig(doc(R"(<app windowClass="default"><mode desc="d0"/><mode desc="d1">
        <event name="UP_MOTION" action="WM_KEYDOWN" key="VK_A" debounce="30"/></mode></app>)"));
    rig.desktop->setForeground(5, "Unconfigured");
    for (int dir :
         {kDirUp, kDirUp, kDirDown, kDirRightToLeft, kDirLeftToRight, kDirToCenter, kDirDownLeft})
        rig.frame(dir);
    std::vector<int> keys;
    for (const auto& c : rig.calls(Kind::PostKey))
        keys.push_back(c.vk);
    EXPECT_EQ(keys, (std::vector<int>{38, 38, 40, 37, 39}));
    EXPECT_EQ(rig.state.debounceFrames, 0);
    EXPECT_EQ(rig.state.modeCaption, "d1");
    EXPECT_TRUE(rig.calls(Kind::SendKeyRecords).empty()) << "its events are not used";
    EXPECT_TRUE(rig.events->hasAction(kDirUp)) << "reports the configured slot";
}

TEST(Dispatcher, WithoutDefaultEntryUnconfiguredWindowsGetNothing) {
    Rig rig(app(R"(<event name="UP_MOTION" action="WM_KEYDOWN" key="VK_A"/>)"));
    rig.desktop->setForeground(5, "Unconfigured");
    EXPECT_EQ(rig.events->selectApplication(""), nullptr);
    rig.frame(kDirUp);
    EXPECT_FALSE(rig.events->hasAction(kDirUp));
    ASSERT_TRUE(rig.settle());
    EXPECT_TRUE(rig.desktop->calls().empty());
}

TEST(Dispatcher, ExecuteIsSpacedByThirtyFrames) {
    Rig rig(app(
        R"(<event name="TOCENTER_MOTION" action="EXECUTE" sysCommand="osmerak" debounce="3"/>)"));
    rig.frame(kDirToCenter);
    for (int i = 0; i < 3; ++i)
        rig.frame(0);
    rig.frame(kDirToCenter); // frame 5: too soon, but still pauses
    EXPECT_EQ(rig.state.debounceFrames, 3);
    for (int i = 0; i < 26; ++i)
        rig.frame(0);
    rig.frame(kDirToCenter); // frame 32: 31 frames after the launch
    ASSERT_TRUE(rig.settle());
    const auto opened = rig.calls(Kind::OpenFile);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0].path, "/opt/zorvexa/osmerak");
}

TEST(Dispatcher, MouseModeAndKeyTogether) {
    Rig rig(app(R"(<event name="TOCENTER_MOTION" action="MOUSEMODE" key="VK_RETURN"/>)"));
    rig.frame(kDirToCenter);
    EXPECT_TRUE(rig.state.mouseMode.load());
    ASSERT_TRUE(rig.settle());
    ASSERT_EQ(rig.calls(Kind::SendKeyRecords).size(), 1u);
    EXPECT_EQ(rig.calls(Kind::SendKeyRecords)[0].records[0].vk, 13);
}

TEST(Dispatcher, LaunchValuesAreConverted) {
    Rig rig(app(
        R"(<event name="UP_MOTION" action="WM_KEYDOWN" key="65" extKey="VK_CONTROL" extKey2="VK_MENU"/>
                   <event name="DOWN_MOTION" action="WM_KEYDOWN" key="0x41"/>
                   <event name="DOWNLEFT_MOTION" action="WM_KEYDOWN" key="VK_A" repeat="-2" debounce="4"/>)"));
    rig.strokeFrame(kDirUp);
    rig.strokeFrame(kDirDown);     // hexadecimal is no key: nothing sent
    rig.strokeFrame(kDirDownLeft); // negative repeat: fires, pauses, performs nothing
    EXPECT_EQ(rig.state.debounceFrames, 4);
    ASSERT_TRUE(rig.settle());
    const auto sends = rig.calls(Kind::SendKeyRecords);
    ASSERT_EQ(sends.size(), 1u);
    ASSERT_EQ(sends[0].records.size(), 6u);
    EXPECT_EQ(sends[0].records[0].vk, 17);
    EXPECT_EQ(sends[0].records[1].vk, 18);
    EXPECT_EQ(sends[0].records[2].vk, 65);
}
