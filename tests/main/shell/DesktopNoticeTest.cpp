#include "main/shell/DesktopNotice.h"

#include <gtest/gtest.h>

#include "tests/main/shell/TempFolder.h"

namespace zorvexa {
namespace {

using test::TempFolder;

TEST(DesktopNotice, NothingToSayMeansNoNotice) {
    EXPECT_EQ(desktopNoticeText("x11", {}), "");
    EXPECT_EQ(desktopNoticeText("uinput", {"a", "b"}), "Desktop backend: uinput.\n- a\n- b");
}

// Once dismissed the same notice stays away; another situation is announced again; the
// rest of the settings file is left as it was.
TEST(DesktopNotice, DismissalIsRememberedPerNoticeInTheSettingsFile) {
    TempFolder folder;
    const std::string ini = folder / "Zorvexa.ini";
    test::writeFile(ini, "[OPTIONS]\r\nmirrorImage=1\r\n");
    const std::string first = desktopNoticeText("uinput", {"the default entry is used"});
    const std::string second = desktopNoticeText("wayland", {"no virtual pointer"});
    EXPECT_FALSE(desktopNoticeDismissed(first, ini));
    ASSERT_TRUE(dismissDesktopNotice(first, ini));
    EXPECT_TRUE(desktopNoticeDismissed(first, ini));
    EXPECT_FALSE(desktopNoticeDismissed(second, ini));
    EXPECT_EQ(test::readFile(ini).rfind("[OPTIONS]\r\nmirrorImage=1\r\n", 0), 0u);
    EXPECT_FALSE(desktopNoticeDismissed(first, folder / "missing.ini"));
}

} // namespace
} // namespace zorvexa
