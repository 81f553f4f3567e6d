#include "webcamtool/core/DeviceChoice.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <limits>
#include <tuple>

namespace zorvexa {

namespace {

// The number at the end of a path, or max when there is none (or it is too long).
std::uint64_t trailingNumber(const std::string& path) {
    size_t begin = path.size();
    while (begin > 0 && std::isdigit(static_cast<unsigned char>(path[begin - 1])))
        --begin;
    const size_t digits = path.size() - begin;
    if (digits == 0 || digits > 18)
        return std::numeric_limits<std::uint64_t>::max();
    return std::stoull(path.substr(begin));
}

} // namespace

std::vector<std::string> sortNodesNumerically(std::vector<std::string> nodes) {
    std::sort(nodes.begin(), nodes.end(), [](const std::string& a, const std::string& b) {
        return std::make_tuple(trailingNumber(a), a) < std::make_tuple(trailingNumber(b), b);
    });
    return nodes;
}

ChosenDevice chooseCaptureDevice(VideoDeviceSystem& system) {
    ChosenDevice chosen;
    for (const std::string& node : sortNodesNumerically(system.listNodes())) {
        std::unique_ptr<VideoDevice> device = system.open(node);
        DeviceCaps caps;
        if (!device || !device->queryCapabilities(caps)) {
            chosen.outcome = DeviceChoiceOutcome::Unusable;
            chosen.node = node;
            return chosen;
        }
        if (!caps.videoCapture)
            continue; // metadata, output or radio node of some device
        chosen.outcome = DeviceChoiceOutcome::Found;
        chosen.node = node;
        chosen.device = std::move(device);
        chosen.caps = caps;
        return chosen;
    }
    return chosen;
}

} // namespace zorvexa
