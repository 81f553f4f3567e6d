#include "main/control/ActionExecutor.h"

#include <chrono>
#include <cstdio>

#include "main/control/ExecutorThreads.h"
#include "platform/DebugSink.h"
#include "platform/Desktop.h"
#include "platform/KeyboardSender.h"

namespace zorvexa {

std::atomic<int> g_currentdir{0};

namespace {

// Real pauses end early when the program is ending.
void pause(const ExecutorEnvironment& env, int ms) {
    if (env.sleep)
        env.sleep(std::chrono::milliseconds(ms));
    else
        executorPause(std::chrono::milliseconds(ms));
}

void sendKeys(const ExecutorEnvironment& env, const ActionParam& p) {
    sendKeyboardEvent(
        *env.desktop, static_cast<std::uint16_t>(p.key), p.modifier1, p.modifier2,
        [&env](std::chrono::milliseconds ms) { pause(env, static_cast<int>(ms.count())); });
}

void openProgramFile(const ExecutorEnvironment& env, const std::string& command) {
    if (command.size() > kMaxCommandLength) {
        debugOutput("sysCommand refused: longer than 999 characters\n");
        return;
    }
    const std::string path = env.programDirectory + "/" + command;
    if (env.desktop->openFile(path) != OpenResult::Started)
        debugOutput("cannot open " + path + "\n");
}

} // namespace

void postMessageThread(ActionParam param, const ExecutorEnvironment& env) {
    debugOutput("postMessageThread\n");
    const int n = param.repeat == 0 ? 1 : param.repeat;
    char line[1000];
    std::snprintf(line, sizeof line, "n=%d   dir=%d   g_currentdir=%d\n", n, param.dir,
                  g_currentdir.load());
    debugOutput(line);

    for (int i = 0; i < n; ++i) {
        if (g_currentdir.load() != param.dir) {
            debugOutput("g_currentdir!=param.dir\n");
            break;
        }
        if (executorsStopping())
            break;
        if (param.modifier1 != 0) {
            sendKeys(env, param);
        } else {
            debugOutput("test1");
            switch (param.type) {
            case kActionMouseMove:
                env.desktop->moveMouseRelative(param.x, param.y);
                break;
            case kActionLeftClick:
                // The release always follows, also when the program is ending.
                env.desktop->leftButton(true);
                try {
                    pause(env, 1000);
                } catch (...) {
                    env.desktop->leftButton(false);
                    throw;
                }
                env.desktop->leftButton(false);
                pause(env, 1000);
                break;
            case kActionExecute:
                openProgramFile(env, param.command);
                break;
            case kActionSwitchMode:
                break;
            default:
                debugOutput("sendKeyboardEvent went through\n");
                sendKeys(env, param);
                break;
            }
        }
        if (n != 1 && i != n - 1)
            pause(env, 20);
        pause(env, 0);
    }
}

} // namespace zorvexa
