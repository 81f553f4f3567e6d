#include "webcamtool/v4l2/V4l2Device.h"

#include <linux/videodev2.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace zorvexa {

namespace {

constexpr std::uint32_t kMaxEnumerations = 256;

int xioctl(int fd, unsigned long request, void* arg) {
    int r;
    do {
        r = ioctl(fd, request, arg);
    } while (r == -1 && errno == EINTR);
    return r;
}

template <size_t N> std::string fixedString(const __u8 (&text)[N]) {
    return std::string(reinterpret_cast<const char*>(text),
                       strnlen(reinterpret_cast<const char*>(text), N));
}

ControlType controlTypeOf(std::uint32_t type) {
    switch (type) {
    case V4L2_CTRL_TYPE_INTEGER:
        return ControlType::Integer;
    case V4L2_CTRL_TYPE_BOOLEAN:
        return ControlType::Boolean;
    case V4L2_CTRL_TYPE_MENU:
        return ControlType::Menu;
    case V4L2_CTRL_TYPE_BUTTON:
        return ControlType::Button;
    case V4L2_CTRL_TYPE_INTEGER64:
        return ControlType::Integer64;
    case V4L2_CTRL_TYPE_CTRL_CLASS:
        return ControlType::ControlClass;
    case V4L2_CTRL_TYPE_STRING:
        return ControlType::String;
    case V4L2_CTRL_TYPE_BITMASK:
        return ControlType::Bitmask;
    case V4L2_CTRL_TYPE_INTEGER_MENU:
        return ControlType::IntegerMenu;
    default:
        break;
    }
    return ControlType::Other;
}

CaptureFormat fromPix(const v4l2_pix_format& pix) {
    CaptureFormat f;
    f.width = pix.width;
    f.height = pix.height;
    f.pixelFormat = pix.pixelformat;
    f.field = pix.field;
    f.bytesPerLine = pix.bytesperline;
    f.sizeImage = pix.sizeimage;
    f.colorspace = pix.colorspace;
    return f;
}

bool isVideoNodeName(const char* name) {
    if (std::strncmp(name, "video", 5) != 0 || name[5] == '\0')
        return false;
    for (const char* p = name + 5; *p != '\0'; ++p)
        if (*p < '0' || *p > '9')
            return false;
    return true;
}

} // namespace

V4l2Device::~V4l2Device() {
    if (streaming_)
        streamOff();
    releaseBuffers();
    if (fd_ >= 0)
        close(fd_);
}

bool V4l2Device::queryCapabilities(DeviceCaps& caps) {
    v4l2_capability cap{};
    if (xioctl(fd_, VIDIOC_QUERYCAP, &cap) == -1)
        return false;
    // A node of a multi-node device reports its own capabilities separately.
    const std::uint32_t own =
        (cap.capabilities & V4L2_CAP_DEVICE_CAPS) != 0 ? cap.device_caps : cap.capabilities;
    caps.driver = fixedString(cap.driver);
    caps.card = fixedString(cap.card);
    caps.busInfo = fixedString(cap.bus_info);
    caps.videoCapture = (own & V4L2_CAP_VIDEO_CAPTURE) != 0;
    caps.streaming = (own & V4L2_CAP_STREAMING) != 0;
    return true;
}

std::vector<PixelFormatDesc> V4l2Device::enumFormats() {
    std::vector<PixelFormatDesc> formats;
    for (std::uint32_t index = 0; index < kMaxEnumerations; ++index) {
        v4l2_fmtdesc desc{};
        desc.index = index;
        desc.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        if (xioctl(fd_, VIDIOC_ENUM_FMT, &desc) == -1)
            break;
        formats.push_back(PixelFormatDesc{desc.pixelformat, fixedString(desc.description),
                                          (desc.flags & V4L2_FMT_FLAG_COMPRESSED) != 0});
    }
    return formats;
}

std::vector<FrameSizeRange> V4l2Device::enumFrameSizes(std::uint32_t pixelFormat) {
    std::vector<FrameSizeRange> sizes;
    for (std::uint32_t index = 0; index < kMaxEnumerations; ++index) {
        v4l2_frmsizeenum size{};
        size.index = index;
        size.pixel_format = pixelFormat;
        if (xioctl(fd_, VIDIOC_ENUM_FRAMESIZES, &size) == -1)
            break;
        if (size.type == V4L2_FRMSIZE_TYPE_DISCRETE) {
            sizes.push_back(FrameSizeRange::discrete(size.discrete.width, size.discrete.height));
            continue;
        }
        // Stepwise and continuous ranges come as a single entry.
        const v4l2_frmsize_stepwise& s = size.stepwise;
        const bool continuous = size.type == V4L2_FRMSIZE_TYPE_CONTINUOUS;
        sizes.push_back(FrameSizeRange{s.min_width, s.max_width, continuous ? 1u : s.step_width,
                                       s.min_height, s.max_height,
                                       continuous ? 1u : s.step_height});
        break;
    }
    return sizes;
}

bool V4l2Device::getFormat(CaptureFormat& format) {
    v4l2_format fmt{};
    fmt.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (xioctl(fd_, VIDIOC_G_FMT, &fmt) == -1)
        return false;
    format = fromPix(fmt.fmt.pix);
    return true;
}

bool V4l2Device::setFormat(CaptureFormat& format) {
    v4l2_format fmt{};
    fmt.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    fmt.fmt.pix.width = format.width;
    fmt.fmt.pix.height = format.height;
    fmt.fmt.pix.pixelformat = format.pixelFormat;
    fmt.fmt.pix.field = format.field;
    fmt.fmt.pix.bytesperline = format.bytesPerLine;
    fmt.fmt.pix.sizeimage = format.sizeImage;
    fmt.fmt.pix.colorspace = format.colorspace;
    if (xioctl(fd_, VIDIOC_S_FMT, &fmt) == -1)
        return false;
    format = fromPix(fmt.fmt.pix);
    return true;
}

bool V4l2Device::setFrameInterval(Fraction& interval) {
    v4l2_streamparm parm{};
    parm.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    parm.parm.capture.timeperframe.numerator = interval.numerator;
    parm.parm.capture.timeperframe.denominator = interval.denominator;
    if (xioctl(fd_, VIDIOC_S_PARM, &parm) == -1)
        return false;
    interval.numerator = parm.parm.capture.timeperframe.numerator;
    interval.denominator = parm.parm.capture.timeperframe.denominator;
    return true;
}

int V4l2Device::requestBuffers(int count) {
    releaseBuffers();
    v4l2_requestbuffers req{};
    req.count = static_cast<std::uint32_t>(count > 0 ? count : 0);
    req.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    req.memory = V4L2_MEMORY_MMAP;
    if (xioctl(fd_, VIDIOC_REQBUFS, &req) == -1)
        return 0;
    buffersRequested_ = true; // from here on the driver holds buffers until released
    for (std::uint32_t index = 0; index < req.count; ++index) {
        v4l2_buffer buf{};
        buf.index = index;
        buf.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        buf.memory = V4L2_MEMORY_MMAP;
        if (xioctl(fd_, VIDIOC_QUERYBUF, &buf) == -1)
            break;
        void* start =
            mmap(nullptr, buf.length, PROT_READ | PROT_WRITE, MAP_SHARED, fd_, buf.m.offset);
        if (start == MAP_FAILED)
            break;
        buffers_.push_back(MappedBuffer{start, buf.length});
    }
    if (buffers_.size() != req.count) {
        releaseBuffers();
        return 0;
    }
    return static_cast<int>(buffers_.size());
}

bool V4l2Device::streamOn() {
    for (std::uint32_t index = 0; index < buffers_.size(); ++index) {
        v4l2_buffer buf{};
        buf.index = index;
        buf.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        buf.memory = V4L2_MEMORY_MMAP;
        if (xioctl(fd_, VIDIOC_QBUF, &buf) == -1)
            return false;
    }
    int type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (xioctl(fd_, VIDIOC_STREAMON, &type) == -1)
        return false;
    streaming_ = true;
    return true;
}

DequeueResult V4l2Device::dequeueBuffer(int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() < 0)
            return DequeueResult::Timeout;
        pollfd pfd{fd_, POLLIN, 0};
        const int ready = poll(&pfd, 1, static_cast<int>(left.count()));
        if (ready == -1 && errno == EINTR)
            continue;
        if (ready == -1)
            return DequeueResult::Error;
        if (ready == 0)
            return DequeueResult::Timeout;
        if ((pfd.revents & POLLERR) != 0 && (pfd.revents & POLLIN) == 0)
            return DequeueResult::Error;
        v4l2_buffer buf{};
        buf.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        buf.memory = V4L2_MEMORY_MMAP;
        if (xioctl(fd_, VIDIOC_DQBUF, &buf) == 0)
            return DequeueResult::Frame;
        if (errno != EAGAIN)
            return DequeueResult::Error;
    }
}

bool V4l2Device::streamOff() {
    int type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    const bool ok = xioctl(fd_, VIDIOC_STREAMOFF, &type) == 0;
    streaming_ = false;
    return ok;
}

void V4l2Device::releaseBuffers() {
    // Also after a request whose mapping failed at its first buffer: the driver allocated
    // them all, and the camera stays busy for other programs until they are given back.
    if (buffers_.empty() && !buffersRequested_)
        return;
    for (const MappedBuffer& b : buffers_)
        munmap(b.start, b.length);
    buffers_.clear();
    buffersRequested_ = false;
    v4l2_requestbuffers req{};
    req.count = 0;
    req.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    req.memory = V4L2_MEMORY_MMAP;
    xioctl(fd_, VIDIOC_REQBUFS, &req);
}

bool V4l2Device::queryControl(std::uint32_t id, bool next, ControlInfo& info) {
    v4l2_queryctrl q{};
    q.id = next ? (id | V4L2_CTRL_FLAG_NEXT_CTRL) : id;
    if (xioctl(fd_, VIDIOC_QUERYCTRL, &q) == -1)
        return false;
    info.id = q.id;
    info.type = controlTypeOf(q.type);
    info.name = fixedString(q.name);
    info.minimum = q.minimum;
    info.maximum = q.maximum;
    info.step = q.step;
    info.defaultValue = q.default_value;
    info.flags = q.flags;
    return true;
}

bool V4l2Device::queryMenu(std::uint32_t id, std::uint32_t index, MenuItem& item) {
    v4l2_querymenu m{};
    m.id = id;
    m.index = index;
    if (xioctl(fd_, VIDIOC_QUERYMENU, &m) == -1)
        return false;
    item.index = index;
    // The kernel fills either the name (menu) or the value (integer menu).
    item.name = fixedString(m.name);
    item.value = m.value;
    return true;
}

bool V4l2Device::getControl(std::uint32_t id, std::int32_t& value) {
    v4l2_control c{};
    c.id = id;
    if (xioctl(fd_, VIDIOC_G_CTRL, &c) == -1)
        return false;
    value = c.value;
    return true;
}

bool V4l2Device::setControl(std::uint32_t id, std::int32_t value) {
    v4l2_control c{};
    c.id = id;
    c.value = value;
    return xioctl(fd_, VIDIOC_S_CTRL, &c) == 0;
}

std::vector<std::string> V4l2DeviceSystem::listNodes() {
    std::vector<std::string> nodes;
    DIR* dir = opendir(folder_.c_str());
    if (dir == nullptr)
        return nodes;
    while (const dirent* e = readdir(dir))
        if (isVideoNodeName(e->d_name))
            nodes.push_back(folder_ + "/" + e->d_name);
    closedir(dir);
    return nodes;
}

std::unique_ptr<VideoDevice> V4l2DeviceSystem::open(const std::string& node) {
    const int fd = ::open(node.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd == -1)
        return nullptr;
    return std::make_unique<V4l2Device>(fd);
}

} // namespace zorvexa
