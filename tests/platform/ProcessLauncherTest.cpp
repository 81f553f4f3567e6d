#include "platform/ProcessLauncher.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zorvexa {
namespace {

class ProcessLauncherTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/zv-launch-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        const char* path = std::getenv("PATH");
        savedPath_ = path != nullptr ? path : "";
    }

    void TearDown() override {
        setenv("PATH", savedPath_.c_str(), 1);
        const std::string command = "rm -rf '" + dir_ + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }

    std::string writeFile(const std::string& name, const std::string& text, mode_t mode) {
        const std::string path = dir_ + "/" + name;
        std::ofstream(path) << text;
        chmod(path.c_str(), mode);
        return path;
    }

    // Contents of a file the started process writes, once it is complete.
    std::string waitForFile(const std::string& name) {
        const std::string path = dir_ + "/" + name;
        for (int i = 0; i < 300; ++i) {
            std::ifstream in(path);
            std::stringstream text;
            text << in.rdbuf();
            const std::string s = text.str();
            if (!s.empty() && s.back() == '\n') {
                return s;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return {};
    }

    std::string dir_;
    std::string savedPath_;
};

TEST_F(ProcessLauncherTest, MissingFileIsNotFound) {
    EXPECT_EQ(openFileDetached(dir_ + "/missing.txt"), OpenResult::FileNotFound);
    EXPECT_EQ(openFileDetached(""), OpenResult::FileNotFound);
}

TEST_F(ProcessLauncherTest, ProgramStartsDetachedWithoutArgumentsOrOurDescriptors) {
    // A descriptor without close-on-exec, as libraries sometimes leave them.
    const int leaked = open("/dev/null", O_RDONLY);
    ASSERT_GE(leaked, 0);
    const std::string script = "#!/bin/sh\n"
                               "fd=no; [ -e /proc/$$/fd/" +
                               std::to_string(leaked) +
                               " ] && fd=yes\n"
                               "echo \"$# $PPID $fd\" > '" +
                               dir_ + "/ran.tmp'\nmv '" + dir_ + "/ran.tmp' '" + dir_ + "/ran'\n";
    const std::string program = writeFile("program", script, 0755);
    EXPECT_EQ(openFileDetached(program), OpenResult::Started);
    close(leaked);

    std::istringstream report(waitForFile("ran"));
    int argumentCount = -1;
    long parent = -1;
    std::string inherited;
    report >> argumentCount >> parent >> inherited;
    EXPECT_EQ(argumentCount, 0);
    EXPECT_NE(parent, static_cast<long>(getpid())); // not our child
    EXPECT_EQ(inherited, "no");
}

TEST_F(ProcessLauncherTest, DocumentGoesToXdgOpenAsItsOnlyArgument) {
    writeFile("xdg-open",
              "#!/bin/sh\necho \"$#|$1\" > '" + dir_ + "/opened.tmp'\nmv '" + dir_ +
                  "/opened.tmp' '" + dir_ + "/opened'\n",
              0755);
    setenv("PATH", (dir_ + ":" + savedPath_).c_str(), 1);
    const std::string document = writeFile("notes with blanks; $(x).txt", "hello\n", 0644);
    EXPECT_EQ(openFileDetached(document), OpenResult::Started);
    EXPECT_EQ(waitForFile("opened"), "1|" + document + "\n");
}

TEST_F(ProcessLauncherTest, FailureToStartIsReported) {
    setenv("PATH", dir_.c_str(), 1); // no xdg-open there
    const std::string document = writeFile("doc.txt", "x\n", 0644);
    EXPECT_EQ(openFileDetached(document), OpenResult::Failed);
    // Execute bit on something that is not a program.
    const std::string bogus = writeFile("bogus", "", 0755);
    EXPECT_EQ(openFileDetached(bogus), OpenResult::Failed);
}

} // namespace
} // namespace zorvexa
