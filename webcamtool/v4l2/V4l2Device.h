// Video capture devices through the kernel's V4L2 interface (device nodes and ioctls).
#pragma once

#include "webcamtool/core/VideoDevice.h"

#include <cstddef>
#include <string>
#include <vector>

namespace zorvexa {

class V4l2Device final : public VideoDevice {
  public:
    // Takes ownership of an open file descriptor.
    explicit V4l2Device(int fd) : fd_(fd) {}
    ~V4l2Device() override;
    V4l2Device(const V4l2Device&) = delete;
    V4l2Device& operator=(const V4l2Device&) = delete;

    bool queryCapabilities(DeviceCaps& caps) override;
    std::vector<PixelFormatDesc> enumFormats() override;
    std::vector<FrameSizeRange> enumFrameSizes(std::uint32_t pixelFormat) override;
    bool getFormat(CaptureFormat& format) override;
    bool setFormat(CaptureFormat& format) override;
    bool setFrameInterval(Fraction& interval) override;

    int requestBuffers(int count) override;
    bool streamOn() override;
    DequeueResult dequeueBuffer(int timeoutMs) override;
    bool streamOff() override;
    void releaseBuffers() override;

    bool queryControl(std::uint32_t id, bool next, ControlInfo& info) override;
    bool queryMenu(std::uint32_t id, std::uint32_t index, MenuItem& item) override;
    bool getControl(std::uint32_t id, std::int32_t& value) override;
    bool setControl(std::uint32_t id, std::int32_t value) override;

  private:
    struct MappedBuffer {
        void* start = nullptr;
        std::size_t length = 0;
    };

    int fd_ = -1;
    std::vector<MappedBuffer> buffers_;
    bool buffersRequested_ = false; // REQBUFS succeeded and was not undone yet
    bool streaming_ = false;
};

// The nodes named video<N> in a folder ("/dev" on a running system).
class V4l2DeviceSystem final : public VideoDeviceSystem {
  public:
    explicit V4l2DeviceSystem(std::string folder = "/dev") : folder_(std::move(folder)) {}

    std::vector<std::string> listNodes() override;
    std::unique_ptr<VideoDevice> open(const std::string& node) override;

  private:
    std::string folder_;
};

} // namespace zorvexa
