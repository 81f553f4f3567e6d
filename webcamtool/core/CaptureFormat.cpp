#include "webcamtool/core/CaptureFormat.h"

#include <cmath>
#include <numeric>

namespace zorvexa {

bool FrameSizeRange::contains(std::uint32_t w, std::uint32_t h) const {
    auto inRange = [](std::uint32_t v, std::uint32_t lo, std::uint32_t hi, std::uint32_t step) {
        if (v < lo || v > hi)
            return false;
        return step == 0 ? (lo == hi || v == lo || v == hi) : (v - lo) % step == 0;
    };
    return inRange(w, minWidth, maxWidth, stepWidth) &&
           inRange(h, minHeight, maxHeight, stepHeight);
}

bool isSixteenBitFormat(std::uint32_t pixelFormat) {
    static constexpr std::uint32_t kFormats[] = {
        fourcc('Y', 'U', 'Y', 'V'), fourcc('Y', 'V', 'Y', 'U'), fourcc('U', 'Y', 'V', 'Y'),
        fourcc('V', 'Y', 'U', 'Y'), fourcc('R', 'G', 'B', 'P'), fourcc('R', 'G', 'B', 'R'),
        fourcc('R', 'G', 'B', 'O'), fourcc('R', 'G', 'B', 'Q'),
    };
    for (std::uint32_t f : kFormats)
        if (f == pixelFormat)
            return true;
    return false;
}

Fraction frameIntervalFor(double fps) {
    if (!(fps > 0.0) || fps > 1.0e6)
        return Fraction{};
    const auto millihertz = static_cast<std::uint32_t>(std::llround(fps * 1000.0));
    if (millihertz == 0)
        return Fraction{};
    const std::uint32_t divisor = std::gcd(1000u, millihertz);
    return Fraction{1000u / divisor, millihertz / divisor};
}

namespace {

// The first 16-bit format that lists the exact size, or 0.
std::uint32_t findSixteenBitMode(VideoDevice& device, std::uint32_t width, std::uint32_t height) {
    for (const PixelFormatDesc& desc : device.enumFormats()) {
        if (!isSixteenBitFormat(desc.pixelFormat))
            continue;
        for (const FrameSizeRange& size : device.enumFrameSizes(desc.pixelFormat))
            if (size.contains(width, height))
                return desc.pixelFormat;
    }
    return 0;
}

} // namespace

bool setCaptureFormat(VideoDevice& device, int width, int height, double fps,
                      std::uint32_t pixelFormat) {
    const bool keepRate = fps == kKeepFrameRate;
    const std::uint32_t mode = width > 0 && height > 0
                                   ? findSixteenBitMode(device, static_cast<std::uint32_t>(width),
                                                        static_cast<std::uint32_t>(height))
                                   : 0;

    CaptureFormat format;
    if (!device.getFormat(format) && mode == 0)
        return false; // nothing to keep
    if (mode != 0) {
        format.pixelFormat = mode;
    } else if (pixelFormat != kKeepPixelFormat) {
        format.pixelFormat = pixelFormat;
    }
    if (width != kKeepSize)
        format.width = static_cast<std::uint32_t>(width);
    if (height != kKeepSize)
        format.height = static_cast<std::uint32_t>(height);
    // The line length and image size of the old size no longer fit; the driver works
    // them out again for the new one.
    format.bytesPerLine = 0;
    format.sizeImage = 0;
    bool ok = device.setFormat(format);

    if (!keepRate) {
        Fraction interval = frameIntervalFor(fps);
        if (interval.denominator != 0)
            ok = device.setFrameInterval(interval);
    }
    if (mode == 0) {
        // Read back what the driver settled on, as the connection will use it.
        CaptureFormat settled;
        ok = device.getFormat(settled);
    }
    return ok;
}

} // namespace zorvexa
