#include "webcamtool/core/CaptureFormat.h"
#include "tests/webcamtool/FakeVideoDevice.h"

#include <gtest/gtest.h>

namespace zorvexa::test {
namespace {

const std::uint32_t kYuyv = fourcc('Y', 'U', 'Y', 'V');
const std::uint32_t kMjpg = fourcc('M', 'J', 'P', 'G');

TEST(VintrelCaptureFormat, SixteenBitModeOfExactSizeIsChosenWithThirtyFps) {
    auto cam = typicalWebcam();
    FakeVideoDevice device(cam);
    setCaptureFormat(device, 160, 120, 30.0, kKeepPixelFormat);

    ASSERT_EQ(cam->formatsSet.size(), 1u);
    EXPECT_EQ(cam->formatsSet[0].pixelFormat, kYuyv);
    EXPECT_EQ(cam->formatsSet[0].width, 160u);
    EXPECT_EQ(cam->formatsSet[0].height, 120u);
    ASSERT_EQ(cam->intervalsSet.size(), 1u);
    EXPECT_EQ(cam->intervalsSet[0], (Fraction{1, 30}));
    EXPECT_EQ(cam->current.pixelFormat, kYuyv);
}

TEST(VintrelCaptureFormat, WithoutSixteenBitModeTheCurrentTypeGetsTheSizeAndRate) {
    auto cam = typicalWebcam();
    // YUYV is offered, but not at 160 x 120; MJPG is not a 16-bit format even at that size.
    cam->sizes[kYuyv] = {FrameSizeRange::discrete(640, 480)};
    cam->sizes[kMjpg].push_back(FrameSizeRange::discrete(160, 120));
    cam->current.field = 1;
    cam->current.colorspace = 8;
    FakeVideoDevice device(cam);
    EXPECT_TRUE(setCaptureFormat(device, 160, 120, 30.0, kKeepPixelFormat));

    ASSERT_EQ(cam->formatsSet.size(), 1u);
    const CaptureFormat& asked = cam->formatsSet[0];
    EXPECT_EQ(asked.pixelFormat, kMjpg);
    EXPECT_EQ(asked.width, 160u);
    EXPECT_EQ(asked.height, 120u);
    EXPECT_EQ(asked.field, 1u);
    EXPECT_EQ(asked.colorspace, 8u);
    // Line length and image size of the old 640 x 480 format must not be carried over.
    EXPECT_EQ(asked.bytesPerLine, 0u);
    EXPECT_EQ(asked.sizeImage, 0u);
    ASSERT_EQ(cam->intervalsSet.size(), 1u);
    EXPECT_EQ(cam->intervalsSet[0], (Fraction{1, 30}));
    // The format the driver settled on is read back last.
    EXPECT_EQ(cam->calls.back(), "g_fmt");
}

TEST(VintrelCaptureFormat, FirstSixteenBitFormatInDeviceOrderWinsAndRangesCount) {
    auto cam = typicalWebcam();
    const std::uint32_t uyvy = fourcc('U', 'Y', 'V', 'Y');
    cam->formats = {{kMjpg, "Motion-JPEG", true}, {uyvy, "UYVY", false}, {kYuyv, "YUYV", false}};
    cam->sizes[uyvy] = {FrameSizeRange{64, 1920, 16, 48, 1080, 8}};
    FakeVideoDevice device(cam);
    setCaptureFormat(device, 160, 120, 30.0, kKeepPixelFormat);
    ASSERT_EQ(cam->formatsSet.size(), 1u);
    EXPECT_EQ(cam->formatsSet[0].pixelFormat, uyvy);

    // A range whose steps miss 160 does not list the size.
    EXPECT_FALSE((FrameSizeRange{64, 1920, 64, 48, 1080, 8}).contains(160, 120));
    EXPECT_TRUE((FrameSizeRange{64, 1920, 32, 48, 1080, 8}).contains(160, 120));
    EXPECT_FALSE(FrameSizeRange::discrete(160, 121).contains(160, 120));
}

TEST(VintrelCaptureFormat, DeviceWithoutFormatReportsFailureAndSetsNothing) {
    auto cam = typicalWebcam();
    cam->sizes.clear();
    cam->getFormatFails = true;
    FakeVideoDevice device(cam);
    EXPECT_FALSE(setCaptureFormat(device, 160, 120, 30.0, kKeepPixelFormat));
    EXPECT_TRUE(cam->formatsSet.empty());
    EXPECT_TRUE(cam->intervalsSet.empty());
}

TEST(VintrelCaptureFormat, FrameIntervalIsAnExactFraction) {
    EXPECT_EQ(frameIntervalFor(30.0), (Fraction{1, 30}));
    EXPECT_EQ(frameIntervalFor(29.97), (Fraction{100, 2997}));
    EXPECT_EQ(frameIntervalFor(0.5), (Fraction{2, 1}));
    EXPECT_EQ(frameIntervalFor(0.0), (Fraction{}));
    EXPECT_EQ(frameIntervalFor(-1.0), (Fraction{}));
}

} // namespace
} // namespace zorvexa::test
