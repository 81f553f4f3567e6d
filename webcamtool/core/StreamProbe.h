// Proves that a capture device can stream: start it, wait for the first filled buffer,
// stop it again. Every frame is discarded.
#pragma once

#include "webcamtool/core/VideoDevice.h"

namespace zorvexa {

enum class ProbeResult {
    Running,      // a first buffer arrived in time
    NoFrame,      // the stream started but no buffer arrived in time
    CannotStream, // no buffer queue I/O, buffers refused (busy) or the stream did not start
};

constexpr int kProbeBufferCount = 4;
constexpr int kFirstBufferTimeoutMs = 1000;

// Leaves the device stopped and without buffers whatever the outcome.
ProbeResult probeStreaming(VideoDevice& device, const DeviceCaps& caps,
                           int timeoutMs = kFirstBufferTimeoutMs);

const char* probeResultName(ProbeResult result);

} // namespace zorvexa
