#include "webcamtool/core/WebcamSettings.h"

#include "webcamtool/core/CaptureFormat.h"
#include "webcamtool/core/DeviceChoice.h"
#include "webcamtool/core/Log.h"

namespace zorvexa {

CaptureSetup buildCaptureGraph(VideoDeviceSystem& system, int firstBufferTimeoutMs) {
    CaptureSetup setup;
    ChosenDevice chosen = chooseCaptureDevice(system);
    setup.node = chosen.node;
    if (chosen.outcome == DeviceChoiceOutcome::NoDevice) {
        setup.outcome = CaptureSetupOutcome::NoDevice;
        return setup;
    }
    if (chosen.outcome == DeviceChoiceOutcome::Unusable) {
        logLine(chosen.node + " cannot be opened or identified");
        setup.outcome = CaptureSetupOutcome::Unusable;
        return setup;
    }
    // A capture device that cannot even report its current format has no stream to use.
    CaptureFormat current;
    if (!chosen.device->getFormat(current)) {
        logLine(chosen.node + " reports no capture format");
        setup.outcome = CaptureSetupOutcome::Unusable;
        return setup;
    }

    setup.outcome = CaptureSetupOutcome::Ready;
    setup.device = std::move(chosen.device);
    setup.caps = chosen.caps;
    // The device may not offer the size; it then streams in its own format.
    setCaptureFormat(*setup.device, kProbeWidth, kProbeHeight, kProbeFrameRate, kKeepPixelFormat);
    setup.probe = probeStreaming(*setup.device, setup.caps, firstBufferTimeoutMs);
    if (setup.probe != ProbeResult::Running)
        logLine(setup.node + ": " + probeResultName(setup.probe) +
                "; its settings are shown all the same");
    return setup;
}

std::string settingsTitle(const DeviceCaps& caps) {
    return (caps.card.empty() ? std::string("Webcam") : caps.card) + " Properties";
}

int showWebcamSettings(VideoDeviceSystem& system, SettingsUi& ui, int firstBufferTimeoutMs) {
    CaptureSetup setup = buildCaptureGraph(system, firstBufferTimeoutMs);
    switch (setup.outcome) {
    case CaptureSetupOutcome::NoDevice:
        ui.showMessage(kNoWebcamCaption, kNoWebcamText, MessageIcon::Information);
        return 0;
    case CaptureSetupOutcome::Unusable:
        ui.showMessage(kFatalCaption, kFatalText, MessageIcon::Error);
        return 1;
    case CaptureSetupOutcome::Ready:
        break;
    }
    ControlModel model(*setup.device);
    model.load();
    if (model.entries().empty()) {
        logLine(setup.node + " reports no settings");
        return 0;
    }
    ui.showSettings(model, settingsTitle(setup.caps));
    return 0;
}

} // namespace zorvexa
