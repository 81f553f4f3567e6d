// Asks a capture device for a frame size, frame rate and pixel format.
#pragma once

#include "webcamtool/core/VideoDevice.h"

#include <cstdint>

namespace zorvexa {

constexpr int kKeepSize = -1;
constexpr double kKeepFrameRate = -1.0;
constexpr std::uint32_t kKeepPixelFormat = 0;

// Packed formats with 16 bits a pixel (YUYV and its relatives, RGB 5:6:5 and 5:5:5).
bool isSixteenBitFormat(std::uint32_t pixelFormat);

// The time per frame for a frame rate, as an exact fraction for rates given to a
// thousandth: 30.0 gives 1/30, 29.97 gives 100/2997. A rate <= 0 gives {0, 0}.
Fraction frameIntervalFor(double fps);

// Requests the format. When the device lists a 16-bit format with exactly width x height,
// the first such format in the device's order is chosen; otherwise the current format is
// kept with width and height replaced (each unless kKeepSize) and its pixel format
// replaced unless kKeepPixelFormat. In both cases the frame interval for `fps` is then
// requested unless it is kKeepFrameRate. Returns whether the last device call succeeded.
bool setCaptureFormat(VideoDevice& device, int width, int height, double fps,
                      std::uint32_t pixelFormat);

} // namespace zorvexa
