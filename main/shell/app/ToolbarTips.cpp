#include "main/shell/app/ToolbarTips.h"

#include "main/shell/app/CommandIds.h"

namespace zorvexa {

const char* toolbarTooltip(int commandId, int state) {
    const bool plainEnabled = state == button_state::kEnabled;
    switch (commandId) {
    case command::kBeginnerModeButton:
        return plainEnabled ? "set Beginner Mode" : "Beginner Mode <active>";
    case command::kGrabButton:
        return plainEnabled ? "turn webcam on" : "webcam capturing video....";
    case command::kReloadConfig:
        return "reload configuration config.xml";
    case command::kTrack:
        return (state & button_state::kChecked) != 0
                   ? "tracking exercise motions...."
                   : "track exercise motions\r\nthis will allow you to control your pc with "
                     "exercise";
    case command::kGoToBeginning:
        return "go to begining";
    case command::kStepBackward:
        return "step backward 1 frame";
    case command::kPlayBack:
        return "play back recording";
    case command::kStepForward:
        return "step 1 frame";
    case command::kRecord:
        return plainEnabled ? "start recording" : "recording....";
    case command::kShowOverlay:
        return plainEnabled ? "show transparent overlay window" : "hide transparent overlay window";
    case command::kStopPlayBack:
        return "stop play back";
    case command::kWebcamSettingsButton:
        return "configure webcam....";
    default:
        return nullptr;
    }
}

} // namespace zorvexa
