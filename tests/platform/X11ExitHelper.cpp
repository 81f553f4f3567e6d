// A program that ends while an executor holds input, for the exit test: it starts one
// action on the X11 desktop ("click": a left click held for a second, repeated; "chord":
// Ctrl+F13 repeated many times), prints "started", and on SIGTERM or SIGINT ends the
// way the main program does: executors stopped with a bound, held input released.
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "main/control/ActionExecutor.h"
#include "main/control/ExecutorThreads.h"
#include "platform/HeldInput.h"
#include "platform/x11/X11Desktop.h"

namespace {

std::atomic<bool> g_end{false};

void requestEnd(int) {
    g_end.store(true);
}

} // namespace

int main(int argc, char** argv) {
    using namespace zorvexa;
    const std::string what = argc > 1 ? argv[1] : "click";
    std::shared_ptr<Desktop> desktop = X11Desktop::open();
    if (!desktop) {
        std::fprintf(stderr, "exit helper: no display\n");
        return 2;
    }
    struct sigaction action {};
    action.sa_handler = requestEnd;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);

    ActionParam param;
    param.dir = 2;
    param.repeat = 100000;
    if (what == "chord") {
        param.type = kActionKeyDown;
        param.key = 0x7C;       // F13: a spare keycode, so the keymap is changed meanwhile
        param.modifier1 = 0x11; // Ctrl
    } else {
        param.type = kActionLeftClick;
    }
    ExecutorEnvironment env;
    env.desktop = desktop;
    g_currentdir.store(param.dir);
    if (!launchExecutor([param, env] { postMessageThread(param, env); })) {
        return 3;
    }
    std::printf("started\n");
    std::fflush(stdout);
    while (!g_end.load()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const bool stopped = stopExecutors(std::chrono::milliseconds(2000));
    releaseAllHeldInput();
    std::printf("ended %d\n", stopped ? 1 : 0);
    std::fflush(stdout);
    return stopped ? 0 : 4;
}
