#include "platform/Desktop.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/KeyboardSender.h"

namespace zorvexa {
namespace {

// Without a reachable display every program still gets a desktop, one that does nothing.
TEST(OpenSystemDesktop, WithoutADisplayGivesADesktopThatDoesNothing) {
    const char* saved = std::getenv("DISPLAY");
    const std::string savedDisplay = saved != nullptr ? saved : "";
    for (const char* display : {"", ":4711"}) {
        setenv("DISPLAY", display, 1);
        const std::shared_ptr<Desktop> desktop = openSystemDesktop();
        ASSERT_NE(desktop, nullptr) << display;
        EXPECT_EQ(desktop->foregroundWindow(), 0u);
        EXPECT_EQ(desktop->foregroundClass(), "");
        EXPECT_TRUE(desktop->topLevelWindows().empty());
        EXPECT_FALSE(desktop->activateWindow(1));
        int sleeps = 0;
        EXPECT_FALSE(
            sendKeyboardEvent(*desktop, 13, 0, 0, [&](std::chrono::milliseconds) { ++sleeps; }));
        EXPECT_EQ(sleeps, 4);
        desktop->moveMouseRelative(1, 1);
        desktop->leftButton(true);
        desktop->leftButton(false);
        EXPECT_EQ(desktop->openFile("/nonexistent/zorvexa"), OpenResult::FileNotFound);
    }
    if (saved != nullptr) {
        setenv("DISPLAY", savedDisplay.c_str(), 1);
    } else {
        unsetenv("DISPLAY");
    }
}

} // namespace
} // namespace zorvexa
