#include "tests/webcamtool/FakeVideoDevice.h"

#include <algorithm>

namespace zorvexa::test {

FakeControl* FakeCamera::control(std::uint32_t id) {
    for (FakeControl& c : controls)
        if (c.info.id == id)
            return &c;
    return nullptr;
}

void FakeCamera::addControl(FakeControl c) {
    controls.push_back(std::move(c));
    std::sort(controls.begin(), controls.end(),
              [](const FakeControl& a, const FakeControl& b) { return a.info.id < b.info.id; });
    updateInactive();
}

void FakeCamera::updateInactive() {
    for (const ModeLink& link : modeLinks) {
        const FakeControl* mode = control(link.mode);
        FakeControl* manual = control(link.manual);
        if (mode == nullptr || manual == nullptr)
            continue;
        if (mode->value == link.manualValue)
            manual->info.flags &= ~control_flags::kInactive;
        else
            manual->info.flags |= control_flags::kInactive;
    }
    const FakeControl* lead = autoId != 0 ? control(autoId) : nullptr;
    for (std::uint32_t id : followers) {
        FakeControl* f = control(id);
        if (f == nullptr || lead == nullptr)
            continue;
        if (lead->value != 0)
            f->info.flags |= control_flags::kInactive;
        else
            f->info.flags &= ~control_flags::kInactive;
    }
}

bool FakeVideoDevice::queryCapabilities(DeviceCaps& caps) {
    cam_->calls.push_back("querycap");
    if (cam_->capsFail)
        return false;
    caps = cam_->caps;
    return true;
}

std::vector<PixelFormatDesc> FakeVideoDevice::enumFormats() {
    cam_->calls.push_back("enum_fmt");
    return cam_->formats;
}

std::vector<FrameSizeRange> FakeVideoDevice::enumFrameSizes(std::uint32_t pixelFormat) {
    cam_->calls.push_back("enum_framesizes");
    auto it = cam_->sizes.find(pixelFormat);
    return it == cam_->sizes.end() ? std::vector<FrameSizeRange>{} : it->second;
}

bool FakeVideoDevice::getFormat(CaptureFormat& format) {
    cam_->calls.push_back("g_fmt");
    if (cam_->getFormatFails)
        return false;
    format = cam_->current;
    return true;
}

bool FakeVideoDevice::setFormat(CaptureFormat& format) {
    cam_->calls.push_back("s_fmt");
    cam_->formatsSet.push_back(format);
    if (cam_->getFormatFails)
        return false;
    // Like a driver: an unknown pixel format is replaced by the current one.
    const bool known =
        std::any_of(cam_->formats.begin(), cam_->formats.end(),
                    [&](const PixelFormatDesc& d) { return d.pixelFormat == format.pixelFormat; });
    if (!known)
        format.pixelFormat = cam_->current.pixelFormat;
    format.bytesPerLine = format.width * 2;
    format.sizeImage = format.bytesPerLine * format.height;
    cam_->current = format;
    return true;
}

bool FakeVideoDevice::setFrameInterval(Fraction& interval) {
    cam_->calls.push_back("s_parm");
    cam_->intervalsSet.push_back(interval);
    cam_->interval = interval;
    return true;
}

int FakeVideoDevice::requestBuffers(int count) {
    cam_->calls.push_back(count == 0 ? "reqbufs 0" : "reqbufs");
    if (cam_->buffersRefused)
        return 0;
    cam_->buffers = count;
    return count;
}

bool FakeVideoDevice::streamOn() {
    cam_->calls.push_back("streamon");
    if (cam_->streamOnFails || cam_->buffers == 0)
        return false;
    cam_->streaming = true;
    return true;
}

DequeueResult FakeVideoDevice::dequeueBuffer(int timeoutMs) {
    cam_->calls.push_back("dqbuf " + std::to_string(timeoutMs));
    if (!cam_->streaming)
        return DequeueResult::Error;
    return cam_->deliversFrames ? DequeueResult::Frame : DequeueResult::Timeout;
}

bool FakeVideoDevice::streamOff() {
    cam_->calls.push_back("streamoff");
    cam_->streaming = false;
    return true;
}

void FakeVideoDevice::releaseBuffers() {
    cam_->calls.push_back("release");
    cam_->buffers = 0;
}

bool FakeVideoDevice::queryControl(std::uint32_t id, bool next, ControlInfo& info) {
    ++cam_->controlQueries;
    for (const FakeControl& c : cam_->controls) {
        if (next ? c.info.id > id : c.info.id == id) {
            info = c.info;
            return true;
        }
    }
    return false;
}

bool FakeVideoDevice::queryMenu(std::uint32_t id, std::uint32_t index, MenuItem& item) {
    const FakeControl* c = cam_->control(id);
    if (c == nullptr)
        return false;
    item.index = index;
    if (auto it = c->menu.find(index); it != c->menu.end()) {
        item.name = it->second;
        return true;
    }
    if (auto it = c->intMenu.find(index); it != c->intMenu.end()) {
        item.value = it->second;
        return true;
    }
    return false;
}

bool FakeVideoDevice::getControl(std::uint32_t id, std::int32_t& value) {
    const FakeControl* c = cam_->control(id);
    if (c == nullptr || c->info.type == ControlType::Button)
        return false;
    value = c->value;
    return true;
}

bool FakeVideoDevice::setControl(std::uint32_t id, std::int32_t value) {
    FakeControl* c = cam_->control(id);
    if (c == nullptr || (c->info.flags & control_flags::kReadOnly) != 0)
        return false;
    if (cam_->refusesInactiveWrites && (c->info.flags & control_flags::kInactive) != 0)
        return false;
    cam_->writes.emplace_back(id, value);
    if (c->info.type == ControlType::Button)
        return true;
    if (value < c->info.minimum || value > c->info.maximum)
        return false;
    if (c->info.type == ControlType::Menu && c->menu.count(static_cast<std::uint32_t>(value)) == 0)
        return false;
    const auto step = static_cast<std::int32_t>(std::max<std::int64_t>(c->info.step, 1));
    const auto min = static_cast<std::int32_t>(c->info.minimum);
    c->value = min + (value - min) / step * step; // drivers round to the step
    cam_->updateInactive();
    return true;
}

void FakeVideoSystem::addNode(const std::string& path, std::shared_ptr<FakeCamera> camera) {
    nodes_.emplace_back(path, std::move(camera));
}

std::vector<std::string> FakeVideoSystem::listNodes() {
    std::vector<std::string> paths;
    for (const auto& node : nodes_)
        paths.push_back(node.first);
    return paths;
}

std::unique_ptr<VideoDevice> FakeVideoSystem::open(const std::string& node) {
    opened.push_back(node);
    for (const auto& [path, camera] : nodes_)
        if (path == node)
            return camera ? std::make_unique<FakeVideoDevice>(camera) : nullptr;
    return nullptr;
}

namespace {

FakeControl integer(std::uint32_t id, const char* name, int min, int max, int step, int def,
                    int value) {
    FakeControl c;
    c.info = ControlInfo{id, ControlType::Integer, name, min, max, step, def, 0};
    c.value = value;
    return c;
}

FakeControl heading(std::uint32_t id, const char* name) {
    FakeControl c;
    c.info = ControlInfo{id, ControlType::ControlClass,         name, 0, 0, 0,
                         0,  control_flags::kReadOnly | 0x0100u};
    return c;
}

} // namespace

std::shared_ptr<FakeCamera> typicalWebcam() {
    auto cam = std::make_shared<FakeCamera>();
    cam->caps.card = "Fake HD Webcam";
    cam->formats = {{fourcc('M', 'J', 'P', 'G'), "Motion-JPEG", true},
                    {fourcc('Y', 'U', 'Y', 'V'), "YUYV 4:2:2", false}};
    cam->sizes[fourcc('M', 'J', 'P', 'G')] = {FrameSizeRange::discrete(1280, 720),
                                              FrameSizeRange::discrete(640, 480)};
    cam->sizes[fourcc('Y', 'U', 'Y', 'V')] = {FrameSizeRange::discrete(640, 480),
                                              FrameSizeRange::discrete(320, 240),
                                              FrameSizeRange::discrete(160, 120)};

    cam->addControl(heading(cid::kUserClass, "User Controls"));
    cam->addControl(integer(cid::kBrightness, "Brightness", -64, 64, 1, 0, 10));
    cam->addControl(integer(cid::kContrast, "Contrast", 0, 95, 1, 32, 32));
    cam->addControl(integer(cid::kSaturation, "Saturation", 0, 100, 1, 55, 60));
    FakeControl wbAuto;
    wbAuto.info = ControlInfo{
        cid::kWhiteBalanceAuto, ControlType::Boolean, "White Balance, Automatic", 0, 1, 1, 1,
        control_flags::kUpdate};
    wbAuto.value = 1;
    cam->addControl(wbAuto);
    FakeControl power;
    power.info = ControlInfo{
        cid::kPowerLineFrequency, ControlType::Menu, "Power Line Frequency", 0, 2, 1, 1, 0};
    power.menu = {{0, "Disabled"}, {1, "50 Hz"}, {2, "60 Hz"}};
    power.value = 1;
    cam->addControl(power);
    cam->addControl(integer(cid::kWhiteBalanceTemperature, "White Balance Temperature", 2800, 6500,
                            10, 4600, 4600));
    cam->addControl(heading(cid::kCameraClass, "Camera Controls"));
    FakeControl exposure;
    exposure.info = ControlInfo{
        cid::kExposureAuto, ControlType::Menu, "Auto Exposure", 0, 3, 1, 3, control_flags::kUpdate};
    // Typical of USB cameras: only manual and aperture priority, so the menu has gaps.
    exposure.menu = {{1, "Manual Mode"}, {3, "Aperture Priority Mode"}};
    exposure.value = 3;
    cam->addControl(exposure);
    FakeControl time =
        integer(cid::kExposureAbsolute, "Exposure Time, Absolute", 3, 2047, 1, 250, 250);
    time.info.flags = control_flags::kInactive;
    cam->addControl(time);

    cam->autoId = cid::kWhiteBalanceAuto;
    cam->followers = {cid::kWhiteBalanceTemperature};
    cam->updateInactive();
    return cam;
}

std::shared_ptr<FakeCamera> uvcWebcam() {
    auto cam = typicalWebcam();
    for (FakeControl& c : cam->controls)
        c.info.flags &= ~control_flags::kUpdate;
    cam->modeLinks = {{cid::kExposureAuto, 1, cid::kExposureAbsolute}};
    cam->refusesInactiveWrites = true;
    cam->updateInactive();
    return cam;
}

} // namespace zorvexa::test
