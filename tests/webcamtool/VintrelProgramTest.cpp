// Runs the real vintrel program against prepared device folders, with its test hook
// closing each box after a moment and printing the box's caption and text.
#include "webcamtool/v4l2/V4l2Device.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace zorvexa::test {
namespace {

namespace fs = std::filesystem;

struct RunResult {
    int exitCode = -1;
    std::string out;
    bool windowSeen = false;
};

// With VINTREL_TEST_USE_DISPLAY set (under the Xvfb wrapper) the program uses the X server
// and the test also looks for its box window with xdotool; otherwise it runs offscreen.
bool useDisplay() {
    return std::getenv("VINTREL_TEST_USE_DISPLAY") != nullptr;
}

RunResult runVintrel(const fs::path& deviceFolder, const std::string& expectedTitle) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return {};
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        close(pipeFds[0]);
        close(pipeFds[1]);
        setenv("ZORVEXA_VIDEO_DIR", deviceFolder.c_str(), 1);
        setenv("ZORVEXA_AUTOCLOSE_MS", useDisplay() ? "1500" : "100", 1);
        if (!useDisplay())
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
        alarm(20); // a program that never ends fails the test instead of hanging it
        const std::string program = std::string(ZORVEXA_BIN_DIR) + "/vintrel";
        execl(program.c_str(), program.c_str(), "--ignored-argument", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeFds[1]);
    RunResult result;
    if (useDisplay()) {
        const std::string search = "timeout 10 xdotool search --sync --onlyvisible --name '^" +
                                   expectedTitle + "$' >/dev/null 2>&1";
        // --sync waits until the window exists; `timeout` bounds the wait.
        result.windowSeen = std::system(("timeout 5 " + search).c_str()) == 0;
    }
    char buffer[4096];
    ssize_t n;
    while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0)
        result.out.append(buffer, static_cast<size_t>(n));
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

fs::path freshFolder(const std::string& name) {
    const fs::path folder =
        fs::temp_directory_path() / ("vintrel-" + name + "-" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

TEST(VintrelProgram, WithoutCameraTheWarningBoxAppearsAndExitCodeIsZero) {
    const fs::path folder = freshFolder("none");
    // Nodes of other kinds are no cameras.
    std::ofstream(folder / "vbi0").put('x');
    std::ofstream(folder / "video-extra").put('x');
    const RunResult r = runVintrel(folder, "Warning");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "Warning\nwebcam not detected!\n you need a webcam to use this application\n");
    if (useDisplay()) {
        EXPECT_TRUE(r.windowSeen);
    }
    fs::remove_all(folder);
}

TEST(VintrelProgram, BrokenCameraGivesTheFatalErrorBoxAndExitCodeOne) {
    const fs::path folder = freshFolder("broken");
    // A node that opens but answers no device ioctl.
    std::ofstream(folder / "video0").put('x');
    const RunResult r = runVintrel(folder, "FATAL ERROR");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "FATAL ERROR\nwebcam not detected!\nprogram will terminate\n");
    if (useDisplay()) {
        EXPECT_TRUE(r.windowSeen);
    }
    fs::remove_all(folder);
}

TEST(VintrelV4l2System, ListsOnlyVideoNodesOfTheFolder) {
    const fs::path folder = freshFolder("list");
    for (const char* name : {"video0", "video12", "video", "videox1", "vbi0", "media0"})
        std::ofstream(folder / name).put('x');
    V4l2DeviceSystem system(folder.string());
    std::vector<std::string> nodes = system.listNodes();
    std::sort(nodes.begin(), nodes.end());
    EXPECT_EQ(nodes, (std::vector<std::string>{(folder / "video0").string(),
                                               (folder / "video12").string()}));
    EXPECT_EQ(system.open((folder / "video7").string()), nullptr);
    fs::remove_all(folder);
}

} // namespace
} // namespace zorvexa::test
