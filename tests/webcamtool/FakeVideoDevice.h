// An in-memory capture device that behaves like a simple driver and records every call,
// so tests can check what the settings tool asks of a camera.
#pragma once

#include "webcamtool/core/VideoDevice.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace zorvexa::test {

struct FakeControl {
    ControlInfo info;
    std::map<std::uint32_t, std::string> menu;     // index -> name (menu)
    std::map<std::uint32_t, std::int64_t> intMenu; // index -> value (integer menu)
    std::int32_t value = 0;
};

// The state of one camera; it outlives the opened device so tests can inspect it.
struct FakeCamera {
    DeviceCaps caps{"fakecam", "Fake Camera", "usb-0000:00:14.0-1", true, true};
    bool capsFail = false;
    bool getFormatFails = false;
    std::vector<PixelFormatDesc> formats;
    std::map<std::uint32_t, std::vector<FrameSizeRange>> sizes;
    CaptureFormat current{640, 480, fourcc('M', 'J', 'P', 'G'), 1, 0, 614400, 8};
    Fraction interval{1, 15};

    bool buffersRefused = false;
    bool streamOnFails = false;
    bool deliversFrames = true;
    bool streaming = false;
    int buffers = 0;

    std::vector<FakeControl> controls; // kept in id order
    // Ids of controls that become inactive while the boolean control `autoId` is on.
    std::uint32_t autoId = 0;
    std::vector<std::uint32_t> followers;
    // Menu-type automatic modes: `manual` is inactive unless `mode` holds `manualValue`.
    struct ModeLink {
        std::uint32_t mode;
        std::int32_t manualValue;
        std::uint32_t manual;
    };
    std::vector<ModeLink> modeLinks;
    // As UVC: a write to an inactive control is refused.
    bool refusesInactiveWrites = false;

    std::vector<std::string> calls;
    int controlQueries = 0;
    std::vector<CaptureFormat> formatsSet;
    std::vector<Fraction> intervalsSet;
    std::vector<std::pair<std::uint32_t, std::int32_t>> writes;

    FakeControl* control(std::uint32_t id);
    void addControl(FakeControl c);
    void updateInactive();
};

class FakeVideoDevice : public VideoDevice {
  public:
    explicit FakeVideoDevice(std::shared_ptr<FakeCamera> camera) : cam_(std::move(camera)) {}

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
    std::shared_ptr<FakeCamera> cam_;
};

class FakeVideoSystem final : public VideoDeviceSystem {
  public:
    // A node that opens as `camera`, or cannot be opened when camera is null.
    void addNode(const std::string& path, std::shared_ptr<FakeCamera> camera);

    std::vector<std::string> listNodes() override;
    std::unique_ptr<VideoDevice> open(const std::string& node) override;

    std::vector<std::string> opened;

  private:
    std::vector<std::pair<std::string, std::shared_ptr<FakeCamera>>> nodes_;
};

// Control ids as drivers report them.
namespace cid {
constexpr std::uint32_t kUserClass = 0x00980001;
constexpr std::uint32_t kBrightness = 0x00980900;
constexpr std::uint32_t kContrast = 0x00980901;
constexpr std::uint32_t kSaturation = 0x00980902;
constexpr std::uint32_t kWhiteBalanceAuto = 0x0098090c;
constexpr std::uint32_t kPowerLineFrequency = 0x00980918;
constexpr std::uint32_t kWhiteBalanceTemperature = 0x0098091a;
constexpr std::uint32_t kCameraClass = 0x009a0001;
constexpr std::uint32_t kExposureAuto = 0x009a0901;
constexpr std::uint32_t kExposureAbsolute = 0x009a0902;
constexpr std::uint32_t kPanReset = 0x009a0906;
} // namespace cid

// A typical USB webcam: brightness, contrast, saturation, automatic white balance with its
// temperature, power line frequency, exposure mode (a menu with gaps) and exposure time.
std::shared_ptr<FakeCamera> typicalWebcam();
// The same camera as the UVC driver (nearly every USB and laptop webcam) presents it: no
// control carries the update flag, the manual control is inactive while its automatic
// mode is on (exposure time too, which follows the exposure menu), and writes to an
// inactive control are refused.
std::shared_ptr<FakeCamera> uvcWebcam();

} // namespace zorvexa::test
