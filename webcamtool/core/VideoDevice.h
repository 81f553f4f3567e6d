// The view of a video capture device that the settings tool needs, in plain C++ types.
// The real implementation speaks V4L2 ioctls; tests hand in a fake device. Numeric values
// (control ids, control classes, pixel format codes) are the kernel's own, so they pass
// through unchanged.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zorvexa {

// Builds a four-character pixel format code the way the kernel does.
constexpr std::uint32_t fourcc(char a, char b, char c, char d) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(a)) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 8) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 16) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(d)) << 24);
}

struct DeviceCaps {
    std::string driver;
    std::string card; // the device's own name, e.g. "Integrated Camera"
    std::string busInfo;
    bool videoCapture = false; // single-planar video capture
    bool streaming = false;    // buffer queue I/O
};

struct PixelFormatDesc {
    std::uint32_t pixelFormat = 0;
    std::string description;
    bool compressed = false;
};

// One entry of a format's frame size list. A discrete size has min == max and step 0.
struct FrameSizeRange {
    std::uint32_t minWidth = 0, maxWidth = 0, stepWidth = 0;
    std::uint32_t minHeight = 0, maxHeight = 0, stepHeight = 0;

    static FrameSizeRange discrete(std::uint32_t w, std::uint32_t h) {
        return FrameSizeRange{w, w, 0, h, h, 0};
    }
    bool contains(std::uint32_t w, std::uint32_t h) const;
};

struct CaptureFormat {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t pixelFormat = 0;
    std::uint32_t field = 0;
    std::uint32_t bytesPerLine = 0;
    std::uint32_t sizeImage = 0;
    std::uint32_t colorspace = 0;
};

// Time between frames in seconds, as numerator / denominator.
struct Fraction {
    std::uint32_t numerator = 0;
    std::uint32_t denominator = 0;
    bool operator==(const Fraction& o) const {
        return numerator == o.numerator && denominator == o.denominator;
    }
};

enum class DequeueResult { Frame, Timeout, Error };

enum class ControlType {
    Integer,
    Boolean,
    Menu,
    Button,
    Integer64,
    ControlClass, // the heading of a control class, not a control
    String,
    Bitmask,
    IntegerMenu,
    Other,
};

namespace control_flags {
constexpr std::uint32_t kDisabled = 0x0001;
constexpr std::uint32_t kGrabbed = 0x0002;
constexpr std::uint32_t kReadOnly = 0x0004;
constexpr std::uint32_t kUpdate = 0x0008;
constexpr std::uint32_t kInactive = 0x0010;
constexpr std::uint32_t kSlider = 0x0020;
constexpr std::uint32_t kWriteOnly = 0x0040;
constexpr std::uint32_t kVolatile = 0x0080;
} // namespace control_flags

struct ControlInfo {
    std::uint32_t id = 0;
    ControlType type = ControlType::Other;
    std::string name;
    std::int64_t minimum = 0;
    std::int64_t maximum = 0;
    std::int64_t step = 0;
    std::int64_t defaultValue = 0;
    std::uint32_t flags = 0;
};

struct MenuItem {
    std::uint32_t index = 0;
    std::string name;       // menu controls
    std::int64_t value = 0; // integer menu controls
};

// One opened device node. Every call reports failure by its result and never throws.
class VideoDevice {
  public:
    virtual ~VideoDevice() = default;

    virtual bool queryCapabilities(DeviceCaps& caps) = 0;
    virtual std::vector<PixelFormatDesc> enumFormats() = 0;
    virtual std::vector<FrameSizeRange> enumFrameSizes(std::uint32_t pixelFormat) = 0;
    virtual bool getFormat(CaptureFormat& format) = 0;
    // Requests `format`; on success `format` holds what the driver chose.
    virtual bool setFormat(CaptureFormat& format) = 0;
    // Requests the time per frame; on success `interval` holds what the driver chose.
    virtual bool setFrameInterval(Fraction& interval) = 0;

    // Allocates and maps up to `count` buffers; returns how many, 0 on failure.
    virtual int requestBuffers(int count) = 0;
    // Queues every buffer and starts the stream.
    virtual bool streamOn() = 0;
    // Waits up to `timeoutMs` for a filled buffer and takes it off the queue.
    virtual DequeueResult dequeueBuffer(int timeoutMs) = 0;
    virtual bool streamOff() = 0;
    virtual void releaseBuffers() = 0;

    // With `next`, reports the first control whose id is greater than `id`.
    virtual bool queryControl(std::uint32_t id, bool next, ControlInfo& info) = 0;
    virtual bool queryMenu(std::uint32_t id, std::uint32_t index, MenuItem& item) = 0;
    virtual bool getControl(std::uint32_t id, std::int32_t& value) = 0;
    virtual bool setControl(std::uint32_t id, std::int32_t value) = 0;
};

// The device nodes of the system.
class VideoDeviceSystem {
  public:
    virtual ~VideoDeviceSystem() = default;
    // Paths of the video device nodes, in no particular order.
    virtual std::vector<std::string> listNodes() = 0;
    // Opens a node; null when it cannot be opened.
    virtual std::unique_ptr<VideoDevice> open(const std::string& node) = 0;
};

} // namespace zorvexa
