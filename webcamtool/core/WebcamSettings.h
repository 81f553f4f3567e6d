// The settings tool's run: find the first capture device, ask it for 160 x 120 at 30
// frames per second, prove that it streams, then show its settings. Without a device the
// user is told so; a device that is there but unusable ends the run with exit code 1.
#pragma once

#include "webcamtool/core/ControlModel.h"
#include "webcamtool/core/StreamProbe.h"
#include "webcamtool/core/VideoDevice.h"

#include <memory>
#include <string>

namespace zorvexa {

inline constexpr char kNoWebcamCaption[] = "Warning";
inline constexpr char kNoWebcamText[] =
    "webcam not detected!\n you need a webcam to use this application";
inline constexpr char kFatalCaption[] = "FATAL ERROR";
inline constexpr char kFatalText[] = "webcam not detected!\nprogram will terminate";

// Where the settings dialog opens, in screen pixels.
constexpr int kSettingsDialogX = 30;
constexpr int kSettingsDialogY = 30;

constexpr int kProbeWidth = 160;
constexpr int kProbeHeight = 120;
constexpr double kProbeFrameRate = 30.0;

enum class MessageIcon { Information, Error };

// What the user sees. Each call returns when the user has closed the box or dialog.
class SettingsUi {
  public:
    virtual ~SettingsUi() = default;
    virtual void showMessage(const std::string& caption, const std::string& text,
                             MessageIcon icon) = 0;
    // The device's settings, modal, at (kSettingsDialogX, kSettingsDialogY).
    virtual void showSettings(ControlModel& model, const std::string& title) = 0;
};

enum class CaptureSetupOutcome {
    NoDevice, // no capture device on the system
    Unusable, // the first one cannot be opened or has no capture stream
    Ready,    // opened, format requested and probed (the probe may have failed)
};

struct CaptureSetup {
    CaptureSetupOutcome outcome = CaptureSetupOutcome::NoDevice;
    std::string node;
    std::unique_ptr<VideoDevice> device;
    DeviceCaps caps;
    ProbeResult probe = ProbeResult::CannotStream;
};

// Chooses the first capture device, requests the probe format and runs the stream probe.
// The device is left stopped.
CaptureSetup buildCaptureGraph(VideoDeviceSystem& system,
                               int firstBufferTimeoutMs = kFirstBufferTimeoutMs);

// The title of the settings dialog for a device.
std::string settingsTitle(const DeviceCaps& caps);

// The whole run; returns the process exit code (0, or 1 after the "FATAL ERROR" box).
int showWebcamSettings(VideoDeviceSystem& system, SettingsUi& ui,
                       int firstBufferTimeoutMs = kFirstBufferTimeoutMs);

} // namespace zorvexa
