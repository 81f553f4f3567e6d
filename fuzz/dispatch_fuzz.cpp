// libFuzzer target: the dispatcher driven by a config.xml of any shape and a sequence of
// strokes, against the in-memory fake desktop, with the executor threads it starts.
// Input: one byte N, the configuration's text, then N stroke bytes. A stroke byte's low
// bits choose the direction (0 for none); its high bits bring another application of the
// configuration to the front, switch beginner mode or change the frame rate.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "fuzz/FuzzFiles.h"
#include "main/control/ActionExecutor.h"
#include "main/control/CControlEvents.h"
#include "main/shell/AppState.h"
#include "platform/fake/FakeDesktop.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const std::size_t strokes = std::min<std::size_t>(data[0], size - 1);
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1 - strokes);
    const std::uint8_t* sequence = data + size - strokes;

    zorvexa::AppState state;
    state.useBeginnerSettings = strokes > 0 && (sequence[0] & 0x40);
    auto desktop = std::make_shared<zorvexa::FakeDesktop>();
    desktop->setForeground(1, "default");
    zorvexa::ControlSettings settings;
    settings.configPath = zorvexa::fuzz::writeFuzzFile("config.xml", text);
    settings.programDirectory = zorvexa::fuzz::fuzzFolder();
    // The executor's pauses are kept short but real: an action repeated without a pause
    // would fill the fake desktop's record faster than the strokes move on.
    settings.sleep = [](std::chrono::milliseconds) {
        std::this_thread::sleep_for(std::chrono::microseconds(20));
    };
    {
        zorvexa::CControlEvents events(state, desktop, settings);
        std::vector<std::string> classes{"default", "no-such-class"};
        for (const auto& [cls, app] : events.configuration().apps)
            classes.push_back(cls);
        for (std::size_t i = 0; i < strokes; ++i) {
            const std::uint8_t b = sequence[i];
            if (b & 0x80)
                desktop->setForeground(static_cast<zorvexa::WindowId>(i + 2),
                                       classes[(b >> 4) % classes.size()]);
            if ((b & 0xf0) == 0x70)
                state.fps = b & 0x0f ? (b & 0x0f) * 8 : 0;
            events.dispatch(b % 13);
            events.hasAction(b % 13);
            desktop->clearCalls(); // only what the calls do matters, not their record
        }
        // Actions still repeating end once the direction changes, as a new stroke does.
        zorvexa::g_currentdir.store(-1);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (events.runningActions() > 0) {
            if (std::chrono::steady_clock::now() > deadline)
                __builtin_trap(); // an action thread that never ends
            std::this_thread::yield();
        }
    }
    return 0;
}
