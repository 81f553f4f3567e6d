// osmerak on a real X server with a window manager: the chosen command's chord reaches
// the window that was in front, the task list switches windows, and the dialog's window
// class is "Osmerak". Runs under tests/support/with-xvfb.sh; leaves screenshots in the
// test output folder.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/commandtool/TempFile.h"

namespace zorvexa {
namespace {

using namespace std::chrono_literals;

const std::string kBin = ZORVEXA_BIN_DIR;
const std::string kOutput = std::string(ZORVEXA_TEST_OUTPUT) + "/osmerak";

std::string run(const std::string& command) {
    std::string output;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
            output += buffer;
        }
        pclose(pipe);
    }
    while (!output.empty() && (output.back() == '\n' || output.back() == ' ')) {
        output.pop_back();
    }
    return output;
}

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(50ms);
    }
    return condition();
}

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A child process started in a given folder, ended (if still running) on destruction.
class Child {
  public:
    Child(const std::vector<std::string>& argv, const std::string& folder = "") {
        pid_ = fork();
        if (pid_ == 0) {
            if (!folder.empty() && chdir(folder.c_str()) != 0) {
                _exit(127);
            }
            std::vector<char*> args;
            for (const std::string& a : argv) {
                args.push_back(const_cast<char*>(a.c_str()));
            }
            args.push_back(nullptr);
            execv(args[0], args.data());
            _exit(127);
        }
    }
    ~Child() {
        if (pid_ > 0 && !exited_) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // Exit status, or -1 when it is still running after the timeout.
    int waitExit(std::chrono::milliseconds timeout) {
        int status = 0;
        const bool done = waitFor(
            [&] {
                if (exited_) {
                    return true;
                }
                if (waitpid(pid_, &status, WNOHANG) == pid_) {
                    exited_ = true;
                    exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
                }
                return exited_;
            },
            timeout);
        return done ? exitStatus_ : -1;
    }

  private:
    pid_t pid_ = -1;
    bool exited_ = false;
    int exitStatus_ = -1;
};

// A key-logging client window; knows its X window id once mapped.
class Client {
  public:
    Client(const test::TempFolder& folder, const std::string& windowClass, const std::string& title,
           const std::string& colour)
        : log_(folder.file(windowClass + ".log")),
          process_({kBin + "/osmerak_keylog_client", windowClass, title, log_, colour}) {
        waitFor([&] { return readFile(log_).rfind("ready ", 0) == 0; }, 15s);
        const std::string text = readFile(log_);
        if (text.rfind("ready ", 0) == 0) {
            id_ = std::stoul(text.substr(6));
        }
    }
    unsigned long id() const { return id_; }
    std::string log() const { return readFile(log_); }

  private:
    std::string log_;
    Child process_;
    unsigned long id_ = 0;
};

unsigned long activeWindow() {
    const std::string text = run("xdotool getactivewindow 2>/dev/null");
    return text.empty() ? 0 : std::stoul(text);
}

bool activate(unsigned long window) {
    run("timeout 10 xdotool windowactivate --sync " + std::to_string(window) + " 2>/dev/null");
    return waitFor([&] { return activeWindow() == window; }, 3s);
}

std::string windowClassOf(unsigned long window) {
    return run("xprop -id " + std::to_string(window) + " WM_CLASS 2>/dev/null");
}

// Waits for the dialog to be the active window; returns its id (0 on timeout).
unsigned long waitForDialog() {
    unsigned long dialog = 0;
    waitFor(
        [&] {
            const unsigned long active = activeWindow();
            if (active != 0 && windowClassOf(active).find("\"Osmerak\"") != std::string::npos) {
                dialog = active;
                return true;
            }
            return false;
        },
        5s);
    std::this_thread::sleep_for(300ms); // let it paint
    return dialog;
}

void screenshot(const std::string& name) {
    std::filesystem::create_directories(kOutput);
    run("import -window root " + kOutput + "/" + name + " 2>/dev/null");
}

void keys(const std::string& names) {
    run("xdotool key --delay 120 " + names);
}

const char* const kCommands = R"(<?xml version="1.0" encoding="UTF-8"?>
<commands>
  <window name="Probe" windowClass="ProbeApp">
    <command shortcut="Ctrl+T" description="New tab" key="VK_T" extKey1="VK_CONTROL"/>
    <command shortcut="F5" description="Reload the page" key="VK_F5"/>
    <command shortcut="C-S-K" description="Two modifiers" key="VK_K" extKey1="VK_CONTROL" extKey2="VK_SHIFT"/>
    <command shortcut="Alt+←" description="Back" key="VK_LEFT" extKey1="VK_MENU"/>
    <command shortcut="Ctrl+⇟" description="Next tab" key="VK_NEXT" extKey1="VK_CONTROL"/>
    <command shortcut="F13" description="A key that is on no keycode" key="VK_F13"/>
  </window>
</commands>
)";

// The window manager must be running before the first client maps.
class WindowManagerReady : public ::testing::Environment {
  public:
    void SetUp() override {
        const bool ready = waitFor(
            [] {
                return run("xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null").find("window id") !=
                       std::string::npos;
            },
            20s);
        ASSERT_TRUE(ready) << "no window manager on this display";
    }
};
const auto* const kWindowManagerReady = ::testing::AddGlobalTestEnvironment(new WindowManagerReady);

TEST(OsmerakDesktop, ChosenChordReachesTheWindowThatWasInFront) {
    test::TempFolder folder;
    folder.write("commands.xml", kCommands);
    Client probe(folder, "ProbeApp", "Probe window", "60,90,140");
    ASSERT_NE(probe.id(), 0u);
    ASSERT_TRUE(activate(probe.id()));

    Child osmerak({kBin + "/osmerak"}, folder.path().string());
    const unsigned long dialog = waitForDialog();
    ASSERT_NE(dialog, 0u) << "the dialog did not take the focus";
    EXPECT_EQ(windowClassOf(dialog), "WM_CLASS(STRING) = \"Osmerak\", \"Osmerak\"");
    // Centred across the 1280 x 1024 screen, bottom edge half its height above the bottom.
    const std::string geometry = run("xdotool getwindowgeometry " + std::to_string(dialog));
    int x = 0, y = 0, width = 0, height = 0;
    ASSERT_EQ(std::sscanf(geometry.c_str(),
                          "Window %*u Position: %d,%d (screen: %*d) Geometry: %dx%d", &x, &y,
                          &width, &height),
              4)
        << geometry;
    EXPECT_EQ(x, 1280 / 2 - width / 2);
    EXPECT_EQ(y, static_cast<int>(1024 - 1.5 * height));
    EXPECT_GT(width, 300);
    EXPECT_GT(height, 200);
    keys("Down Down");
    std::this_thread::sleep_for(300ms);
    screenshot("osmerak-commands.png");
    keys("Return");
    ASSERT_EQ(osmerak.waitExit(5s), 0);

    ASSERT_TRUE(waitFor([&] { return probe.log().find("press K") != std::string::npos; }, 3s))
        << probe.log();
    const std::string log = probe.log();
    // Control and Shift held around the key, and nothing meant for the dialog.
    EXPECT_NE(log.find("press Control_L"), std::string::npos) << log;
    EXPECT_NE(log.find("press Shift_L"), std::string::npos) << log;
    const std::size_t k = log.find("press K "); // upper case: Shift is down
    const unsigned state = static_cast<unsigned>(std::stoul(log.substr(k + 8)));
    EXPECT_EQ(state & 5u, 5u) << log; // ShiftMask | ControlMask
    EXPECT_EQ(log.find("Down"), std::string::npos) << log;
    EXPECT_EQ(log.find("Return"), std::string::npos) << log;
    EXPECT_EQ(activeWindow(), probe.id());
}

TEST(OsmerakDesktop, TaskListSwitchesToAnotherWindow) {
    test::TempFolder folder;
    folder.write("commands.xml", kCommands);
    Client alpha(folder, "AlphaApp", "Alpha", "70,120,70");
    Client beta(folder, "BetaApp", "Beta", "120,70,110");
    ASSERT_TRUE(activate(alpha.id()));
    ASSERT_TRUE(activate(beta.id()));
    run("timeout 10 xdotool windowminimize --sync " + std::to_string(alpha.id()));
    // Under load the window manager may set the state a little after xdotool returns.
    ASSERT_TRUE(waitFor(
        [&] {
            return run("xprop -id " + std::to_string(alpha.id()) + " WM_STATE").find("Iconic") !=
                   std::string::npos;
        },
        5s));

    Child osmerak({kBin + "/osmerak"}, folder.path().string());
    ASSERT_NE(waitForDialog(), 0u);
    screenshot("osmerak-no-entries.png");
    keys("n");
    std::this_thread::sleep_for(300ms);
    keys("Down");
    std::this_thread::sleep_for(300ms);
    screenshot("osmerak-tasks.png");
    keys("Return");
    ASSERT_EQ(osmerak.waitExit(5s), 0);
    // The minimised window behind is restored and brought to the front.
    EXPECT_TRUE(waitFor([&] { return activeWindow() == alpha.id(); }, 3s));
    EXPECT_NE(run("xprop -id " + std::to_string(alpha.id()) + " WM_STATE").find("Normal"),
              std::string::npos);
    EXPECT_EQ(alpha.log().find("press"), std::string::npos);
    EXPECT_EQ(beta.log().find("press"), std::string::npos);
}

TEST(OsmerakDesktop, EscapeEndsWithoutSendingAnything) {
    test::TempFolder folder;
    folder.write("commands.xml", kCommands);
    Client probe(folder, "ProbeApp", "Probe window", "60,90,140");
    ASSERT_TRUE(activate(probe.id()));
    Child osmerak({kBin + "/osmerak"}, folder.path().string());
    ASSERT_NE(waitForDialog(), 0u);
    keys("Escape");
    ASSERT_EQ(osmerak.waitExit(5s), 0);
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(probe.log().find("press"), std::string::npos) << probe.log();
}

} // namespace
} // namespace zorvexa

namespace zorvexa {
namespace {

TEST(OsmerakDesktop, AKeyOnASpareKeycodeArrivesThoughOsmerakEndsRightAfterIt) {
    test::TempFolder folder;
    folder.write("commands.xml", kCommands);
    Client probe(folder, "ProbeApp", "Probe window", "60,90,140");
    ASSERT_TRUE(activate(probe.id()));
    const std::string keymap = run("xkbcomp -xkb \"$DISPLAY\" - 2>/dev/null");
    Child osmerak({kBin + "/osmerak"}, folder.path().string());
    ASSERT_NE(waitForDialog(), 0u);
    keys("Down Down Down Down Down");
    std::this_thread::sleep_for(300ms);
    keys("Return");
    ASSERT_EQ(osmerak.waitExit(5s), 0);
    EXPECT_TRUE(waitFor([&] { return probe.log().find("press F13") != std::string::npos; }, 3s))
        << probe.log();
    EXPECT_EQ(run("xkbcomp -xkb \"$DISPLAY\" - 2>/dev/null"), keymap);
}

TEST(OsmerakDesktop, ATargetClosedBeforeEnterGetsNothingAndNeitherDoesAnyOtherWindow) {
    test::TempFolder folder;
    folder.write("commands.xml", kCommands);
    Client bystander(folder, "BystanderApp", "Bystander", "120,120,60");
    auto probe = std::make_unique<Client>(folder, "ProbeApp", "Probe window", "60,90,140");
    ASSERT_TRUE(activate(probe->id()));
    Child osmerak({kBin + "/osmerak"}, folder.path().string());
    ASSERT_NE(waitForDialog(), 0u);
    probe.reset(); // the target closes while the dialog is open
    std::this_thread::sleep_for(300ms);
    keys("Return"); // Ctrl+T would open a tab in whatever took the focus
    EXPECT_EQ(osmerak.waitExit(10s), 0);
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(bystander.log().find("press"), std::string::npos) << bystander.log();
}

} // namespace
} // namespace zorvexa
