#include "webcamtool/core/StreamProbe.h"

namespace zorvexa {

ProbeResult probeStreaming(VideoDevice& device, const DeviceCaps& caps, int timeoutMs) {
    if (!caps.streaming)
        return ProbeResult::CannotStream;
    if (device.requestBuffers(kProbeBufferCount) <= 0) {
        device.releaseBuffers();
        return ProbeResult::CannotStream;
    }
    if (!device.streamOn()) {
        device.releaseBuffers();
        return ProbeResult::CannotStream;
    }
    const DequeueResult first = device.dequeueBuffer(timeoutMs);
    device.streamOff();
    device.releaseBuffers();
    switch (first) {
    case DequeueResult::Frame:
        return ProbeResult::Running;
    case DequeueResult::Timeout:
        return ProbeResult::NoFrame;
    case DequeueResult::Error:
        break;
    }
    return ProbeResult::CannotStream;
}

const char* probeResultName(ProbeResult result) {
    switch (result) {
    case ProbeResult::Running:
        return "running";
    case ProbeResult::NoFrame:
        return "no frame within the time limit";
    case ProbeResult::CannotStream:
        break;
    }
    return "cannot stream";
}

} // namespace zorvexa
