// Command ids of the main window: menu items, toolbar buttons and the accelerator. The
// numbers are the program's own identifiers; the INI file and tests refer to them.
#pragma once

namespace zorvexa::command {

constexpr int kAbout = 104;
constexpr int kExit = 105;
constexpr int kGrab = 32773;             // "&Grab"
constexpr int kProcess = 32774;          // "&Process" (removed at start-up)
constexpr int kMirrorImage = 32776;      // "Mirror Image"
constexpr int kLogAnalysis = 32814;      // "Log Analysis" (removed at start-up)
constexpr int kLoadRawVideoFile = 32815; // "Load Raw Video File" (removed at start-up)
constexpr int kViewSessionsLog = 32816;  // "View Sessions Exercise vs Calories Log"
constexpr int kConfigureWebcam = 32818;  // "Configure WebCam"
constexpr int kAutoShowOverlay = 32820;  // "Auto Show/HIde Video Overlay Window"
constexpr int kShowCalorieCounter = 32821;
constexpr int kUseBeginnerSettings = 32824;
constexpr int kMouseMode = 32826;                // "Mouse Mode" (removed at start-up)
constexpr int kEditGestureConfiguration = 32830; // opens the config.xml in use
constexpr int kRobustRecognition = 32831;        // "Robust Stroke Recognition"

// Toolbar buttons and commands without a visible source.
constexpr int kBeginnerModeButton = 30412;
constexpr int kGrabButton = 34000;
constexpr int kReloadConfig = 34001;
constexpr int kTrack = 34002;
constexpr int kGoToBeginning = 34003;
constexpr int kStepBackward = 34004;
constexpr int kPlayBack = 34005;
constexpr int kStepForward = 34006;
constexpr int kRecord = 34007;
constexpr int kShowOverlay = 34009;
constexpr int kStopPlayBack = 34010;
constexpr int kWebcamSettingsButton = 34011;

// Menu items taken out of the menu at start-up, in the order they are removed.
constexpr int kRemovedAtStartup[] = {kLoadRawVideoFile, kProcess, kLogAnalysis, kMouseMode};

} // namespace zorvexa::command
