#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "main/shell/app/CommandIds.h"
#include "main/shell/app/ToolbarTips.h"

namespace zorvexa {
namespace {

std::string tip(int id, int state) {
    const char* text = toolbarTooltip(id, state);
    return text ? text : "<none>";
}

TEST(ToolbarTips, StateDependentTextsNeedExactlyEnabled) {
    using namespace button_state;
    EXPECT_EQ(tip(command::kGrabButton, kEnabled), "turn webcam on");
    EXPECT_EQ(tip(command::kGrabButton, kEnabled | kPressed), "webcam capturing video....");
    EXPECT_EQ(tip(command::kGrabButton, kPressed), "webcam capturing video....");
    EXPECT_EQ(tip(command::kGrabButton, 0), "webcam capturing video....")
        << "disabled while switching";
    EXPECT_EQ(tip(command::kBeginnerModeButton, kEnabled), "set Beginner Mode");
    EXPECT_EQ(tip(command::kBeginnerModeButton, kEnabled | kPressed), "Beginner Mode <active>");
    EXPECT_EQ(tip(command::kRecord, kEnabled), "start recording");
    EXPECT_EQ(tip(command::kRecord, kEnabled | kChecked), "recording....");
    EXPECT_EQ(tip(command::kShowOverlay, kEnabled), "show transparent overlay window");
    EXPECT_EQ(tip(command::kShowOverlay, kEnabled | kPressed), "hide transparent overlay window");
    EXPECT_EQ(tip(command::kTrack, kEnabled | kChecked), "tracking exercise motions....");
    EXPECT_EQ(tip(command::kTrack, kEnabled | kPressed),
              "track exercise motions\r\nthis will allow you to control your pc with exercise");
}

TEST(ToolbarTips, FixedTextsAndUnknownIds) {
    EXPECT_EQ(tip(command::kReloadConfig, 0), "reload configuration config.xml");
    EXPECT_EQ(tip(command::kWebcamSettingsButton, 4), "configure webcam....");
    EXPECT_EQ(tip(command::kGoToBeginning, 4), "go to begining");
    EXPECT_EQ(tip(command::kStepBackward, 4), "step backward 1 frame");
    EXPECT_EQ(tip(command::kPlayBack, 4), "play back recording");
    EXPECT_EQ(tip(command::kStepForward, 4), "step 1 frame");
    EXPECT_EQ(tip(command::kStopPlayBack, 4), "stop play back");
    EXPECT_EQ(tip(command::kGrab, 4), "<none>");
    EXPECT_EQ(tip(0, 4), "<none>");
}

} // namespace
} // namespace zorvexa
