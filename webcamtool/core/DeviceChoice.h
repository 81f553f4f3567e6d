// Picks the capture device the settings tool works on: the first video device node, in
// numeric order, that reports the video capture capability.
#pragma once

#include "webcamtool/core/VideoDevice.h"

#include <memory>
#include <string>
#include <vector>

namespace zorvexa {

// Orders node paths by the number at the end of the name, so "video2" comes before
// "video10". Names without a number go last, in text order.
std::vector<std::string> sortNodesNumerically(std::vector<std::string> nodes);

enum class DeviceChoiceOutcome {
    NoDevice, // no node reports video capture
    Unusable, // the first candidate cannot be opened or identified
    Found,
};

struct ChosenDevice {
    DeviceChoiceOutcome outcome = DeviceChoiceOutcome::NoDevice;
    std::string node;
    std::unique_ptr<VideoDevice> device; // set when found
    DeviceCaps caps;
};

// Walks the nodes in numeric order and stops at the first one that is a capture device.
// A node that cannot be opened or does not answer the capability query cannot be ruled
// out, so it ends the walk as an unusable device; nodes after the chosen one are never
// opened.
ChosenDevice chooseCaptureDevice(VideoDeviceSystem& system);

} // namespace zorvexa
