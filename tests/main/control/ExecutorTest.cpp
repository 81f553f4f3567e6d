#include <gtest/gtest.h>

#include <condition_variable>
#include <future>
#include <stdexcept>
#include <string>
#include <thread>

#include "main/control/ExecutorThreads.h"

#include "ControlTestSupport.h"

using namespace zorvexa;
using namespace zorvexa::testing;
using Kind = FakeDesktopCall::Kind;

namespace {

struct ExecRig {
    std::shared_ptr<FakeDesktop> desktop = std::make_shared<FakeDesktop>();
    SleepLog sleeps;
    ExecutorEnvironment env;
    ExecRig() {
        env.desktop = desktop;
        env.programDirectory = "/opt/zorvexa";
        env.sleep = sleeps.sleeper();
    }
    void run(ActionParam p) {
        g_currentdir = p.dir;
        postMessageThread(std::move(p), env);
    }
};

ActionParam keyAction(int key, int repeat) {
    ActionParam p;
    p.type = kActionKeyDown;
    p.key = key;
    p.repeat = repeat;
    p.dir = kDirUp;
    return p;
}

} // namespace

TEST(Executor, RepeatsWithPausesBetweenRepetitions) {
    {
        ExecRig rig;
        DebugLog log;
        rig.run(keyAction(65, 0));
        EXPECT_EQ(rig.desktop->callsOf(Kind::SendKeyRecords).size(), 1u);
        EXPECT_EQ(rig.sleeps.pauses(), (std::vector<int>{0}));
        const auto lines = log.lines();
        ASSERT_GE(lines.size(), 4u);
        EXPECT_EQ(lines[0], "postMessageThread\n");
        EXPECT_EQ(lines[1], "n=1   dir=2   g_currentdir=2\n");
        EXPECT_EQ(lines[2], "test1");
        EXPECT_EQ(lines[3], "sendKeyboardEvent went through\n");
    }
    {
        ExecRig rig;
        rig.run(keyAction(65, 3));
        EXPECT_EQ(rig.desktop->callsOf(Kind::SendKeyRecords).size(), 3u);
        EXPECT_EQ(rig.sleeps.pauses(), (std::vector<int>{20, 0, 20, 0, 0}));
    }
    {
        ExecRig rig;
        rig.run(keyAction(65, -1));
        EXPECT_TRUE(rig.desktop->calls().empty());
    }
}

TEST(Executor, LeftClickIsHeldForASecond) {
    ExecRig rig;
    ActionParam p;
    p.type = kActionLeftClick;
    p.repeat = 2;
    p.dir = kDirToCenter;
    rig.run(p);
    const auto buttons = rig.desktop->callsOf(Kind::LeftButton);
    ASSERT_EQ(buttons.size(), 4u);
    EXPECT_TRUE(buttons[0].down);
    EXPECT_FALSE(buttons[1].down);
    EXPECT_EQ(rig.sleeps.pauses(), (std::vector<int>{1000, 1000, 20, 0, 1000, 1000, 0}));
}

TEST(Executor, ModifierTurnsAnyActionIntoTheChord) {
    ExecRig rig;
    ActionParam p;
    p.type = kActionMouseMove;
    p.x = 10;
    p.dir = kDirDown;
    p.key = 67;
    p.modifier1 = 17;
    rig.run(p);
    EXPECT_TRUE(rig.desktop->callsOf(Kind::MoveMouseRelative).empty());
    ASSERT_EQ(rig.desktop->callsOf(Kind::SendKeyRecords).size(), 1u);
    EXPECT_EQ(rig.desktop->callsOf(Kind::SendKeyRecords)[0].records.size(), 4u);

    ExecRig noKey;
    p.key = 0;
    noKey.run(p);
    EXPECT_TRUE(noKey.desktop->calls().empty()) << "a modifier without a key does nothing";
}

TEST(Executor, SecondModifierAloneIsUsedAsTheModifier) {
    ExecRig rig;
    ActionParam p = keyAction(67, 0);
    p.modifier2 = 17;
    rig.run(p);
    const auto sends = rig.desktop->callsOf(Kind::SendKeyRecords);
    ASSERT_EQ(sends.size(), 1u);
    ASSERT_EQ(sends[0].records.size(), 4u);
    EXPECT_EQ(sends[0].records[0].vk, 17);
    EXPECT_EQ(sends[0].records[1].vk, 67);
}

TEST(Executor, ExecuteOpensTheFileInTheProgramFolder) {
    ExecRig rig;
    ActionParam p;
    p.type = kActionExecute;
    p.dir = kDirToCenter;
    p.command = "notes.pdf";
    rig.run(p);
    const auto opened = rig.desktop->callsOf(Kind::OpenFile);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].path, "/opt/zorvexa/notes.pdf");

    ExecRig tooLong;
    DebugLog log;
    p.command = std::string(1000, 'a');
    tooLong.run(p);
    EXPECT_TRUE(tooLong.desktop->calls().empty()) << "refused, never opened truncated";
    p.command = std::string(999, 'a');
    tooLong.run(p);
    EXPECT_EQ(tooLong.desktop->callsOf(Kind::OpenFile).size(), 1u);
}

TEST(Executor, NewerDirectionStopsARepeatingThread) {
    ExecRig rig;
    rig.env.sleep = [](std::chrono::milliseconds ms) { std::this_thread::sleep_for(ms); };
    DebugLog log;
    ActionParam up = keyAction(38, 10);
    g_currentdir = kDirUp;
    std::thread t([&] { postMessageThread(up, rig.env); });
    ASSERT_TRUE(rig.desktop->waitForCalls(2, std::chrono::seconds(5)));
    g_currentdir = kDirDown; // a newer launch for another direction
    t.join();
    EXPECT_LT(rig.desktop->callsOf(Kind::SendKeyRecords).size(), 10u);
    EXPECT_TRUE(log.contains("g_currentdir!=param.dir\n"));

    // The same direction again does not stop it.
    ExecRig same;
    same.env.sleep = rig.env.sleep;
    g_currentdir = kDirUp;
    std::thread t2([&] { postMessageThread(keyAction(38, 5), same.env); });
    g_currentdir = kDirUp;
    t2.join();
    EXPECT_EQ(same.desktop->callsOf(Kind::SendKeyRecords).size(), 5u);
}

TEST(Executor, LaunchedThreadsOutliveTheirDispatcher) {
    Rig rig(doc(R"(<app windowClass="App"><mode/><mode>
        <event name="UP_MOTION" action="WM_KEYDOWN" key="VK_A" repeat="3"/></mode></app>)"));
    ControlSettings settings;
    settings.configPath = rig.config.path();
    settings.sleep = [](std::chrono::milliseconds) {}; // outlives the rig safely
    rig.events = std::make_unique<CControlEvents>(rig.state, rig.desktop, settings);
    rig.frame(kDirUp);
    rig.events.reset(); // a reload discards the object; the action carries on
    ASSERT_TRUE(rig.desktop->waitForCalls(3, std::chrono::seconds(5)));
    EXPECT_EQ(rig.state.lastActionType, kActionKeyDown);
    EXPECT_EQ(rig.state.lastActionFrame, 1);
}

TEST(Executor, StoppingAtExitEndsAClickEarlyWithTheButtonReleased) {
    ExecRig rig;
    rig.env.sleep = nullptr; // real, interruptible pauses
    ActionParam p;
    p.type = kActionLeftClick;
    p.repeat = 1000; // would hold and release the button for over half an hour
    p.dir = kDirToCenter;
    g_currentdir = p.dir;
    ASSERT_TRUE(launchExecutor([p, env = rig.env] { postMessageThread(p, env); }));
    ASSERT_TRUE(rig.desktop->waitForCalls(1, std::chrono::seconds(5)));
    EXPECT_TRUE(stopExecutors(std::chrono::seconds(10)));
    EXPECT_EQ(runningExecutors(), 0);
    EXPECT_FALSE(launchExecutor([] {})) << "nothing starts while the program ends";
    allowExecutors();
    const auto buttons = rig.desktop->callsOf(Kind::LeftButton);
    ASSERT_FALSE(buttons.empty());
    EXPECT_LE(buttons.size(), 4u);
    EXPECT_FALSE(buttons.back().down) << "the button is not left held";
}

TEST(Executor, AnExceptionEndsOnlyItsThreadAndIsReported) {
    std::mutex mutex;
    std::condition_variable reported;
    std::vector<std::string> errors;
    setExecutorErrorHandler([&](const std::string& what) {
        std::lock_guard<std::mutex> lock(mutex);
        errors.push_back(what);
        reported.notify_all();
    });
    DebugLog log;
    ASSERT_TRUE(launchExecutor([] { throw std::runtime_error("desktop gone"); }));
    {
        std::unique_lock<std::mutex> lock(mutex);
        ASSERT_TRUE(
            reported.wait_for(lock, std::chrono::seconds(5), [&] { return !errors.empty(); }));
    }
    setExecutorErrorHandler({});
    EXPECT_EQ(errors, (std::vector<std::string>{"desktop gone"}));
    EXPECT_TRUE(log.contains("executor thread failed: desktop gone\n"));
    EXPECT_TRUE(stopExecutors(std::chrono::seconds(5)));
    allowExecutors();
}

TEST(Executor, ForegroundQueriesNeverWaitForAnExecutorInTheMiddleOfAChord) {
    Rig rig(doc(R"(<app windowClass="App"><mode/><mode>
        <event name="UP_MOTION" action="WM_KEYDOWN" key="VK_A" repeat="3"/></mode></app>)"));
    rig.desktop->holdKeySends(true);
    rig.frame(kDirUp);
    ASSERT_TRUE(rig.desktop->waitForHeldSend(std::chrono::seconds(5)));
    // The frame loop's next frames: gestures with no action still ask for the window
    // in front. They must not wait behind the executor.
    auto frames = std::async(std::launch::async, [&] {
        for (int i = 0; i < 3; ++i) {
            rig.events->dispatch(kDirDown);
            rig.events->dispatch(0);
        }
    });
    const bool done = frames.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    rig.desktop->holdKeySends(false);
    frames.wait();
    EXPECT_TRUE(done) << "the frame loop waited for the executor";
    EXPECT_EQ(rig.desktop->foregroundWaits(), 0);
    EXPECT_TRUE(rig.settle());
}
