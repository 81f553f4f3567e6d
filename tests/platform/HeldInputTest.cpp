#include "platform/HeldInput.h"

#include <gtest/gtest.h>

#include <vector>

namespace zorvexa {
namespace {

// A backend as the record sees it: it notes presses and releases, and its releaser
// lets go of what the record says it holds.
struct Backend {
    std::vector<int> released;
    Backend() {
        registerHeldInputOwner(this, [this] {
            for (const int code : heldInputOf(this)) {
                released.push_back(code);
                noteInputUp(this, code);
            }
        });
    }
    ~Backend() { unregisterHeldInputOwner(this); }
};

TEST(HeldInput, EverythingStillHeldIsReleasedOnceOverEveryBackend) {
    Backend keyboard;
    Backend idle;
    noteInputDown(&keyboard, 37);   // a modifier pressed ...
    noteInputDown(&keyboard, 1001); // ... and the button
    noteInputDown(&keyboard, 54);
    noteInputUp(&keyboard, 54); // released normally: not released again
    noteInputDown(&idle, 50);
    noteInputUp(&idle, 50);
    EXPECT_EQ(heldInputCount(), 2);

    releaseAllHeldInput();
    EXPECT_EQ(keyboard.released, (std::vector<int>{37, 1001}));
    EXPECT_TRUE(idle.released.empty()) << "a backend holding nothing is not called";
    EXPECT_EQ(heldInputCount(), 0);

    releaseAllHeldInput(); // a second exit path finds nothing left
    EXPECT_EQ(keyboard.released.size(), 2u);
}

TEST(HeldInput, ABackendThatWentAwayIsForgotten) {
    {
        Backend gone;
        noteInputDown(&gone, 40);
    }
    EXPECT_EQ(heldInputCount(), 0);
    releaseAllHeldInput(); // must not call into the destroyed backend
}

} // namespace
} // namespace zorvexa
