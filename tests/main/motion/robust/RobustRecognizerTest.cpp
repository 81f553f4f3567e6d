// The robust recognizer on drawn frames: a figure on a textured wall whose arms (two
// bars) move; checks the whole way from pixels to one reported stroke.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <vector>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include "main/motion/MotionDir.h"
#include "main/motion/robust/RobustRecognizer.h"

namespace zorvexa::robust {
namespace {

// Arm tops in pixels (y of each bar's upper end) for frame k.
using ArmPath = std::function<std::pair<int, int>(int k)>;

cv::Mat drawFrame(int leftTop, int rightTop, int brightness, cv::RNG& noise) {
    cv::Mat f(120, 160, CV_8UC3);
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x)
            f.at<cv::Vec3b>(y, x) = cv::Vec3b(uchar(60 + (x / 8 + y / 8) % 2 * 25),
                                              uchar(70 + (x / 8) % 3 * 10), uchar(80));
    cv::circle(f, {80, 30}, 10, {120, 150, 200}, cv::FILLED);
    cv::rectangle(f, cv::Rect(65, 42, 30, 78), {40, 40, 160}, cv::FILLED);
    cv::rectangle(f, cv::Rect(42, leftTop, 12, 40), {120, 150, 200}, cv::FILLED);
    cv::rectangle(f, cv::Rect(106, rightTop, 12, 40), {120, 150, 200}, cv::FILLED);
    f += cv::Scalar::all(brightness);
    cv::Mat n(f.size(), CV_8UC3);
    noise.fill(n, cv::RNG::UNIFORM, 0, 4);
    return f + n;
}

std::vector<MotionDir> play(const ArmPath& path, int frames, bool mirror = false,
                            int lightAt = -1) {
    RobustRecognizer r;
    cv::RNG noise(3);
    std::vector<MotionDir> reports;
    for (int k = 0; k < frames; ++k) {
        const auto [l, rt] = path(k);
        cv::Mat f = drawFrame(l, rt, lightAt >= 0 && k >= lightAt ? 50 : 0, noise);
        if (mirror)
            cv::flip(f, f, 1);
        r.observe(f, k + 1, 30);
        if (MotionDir d = r.decide())
            reports.push_back(d);
    }
    return reports;
}

// Moves from `a` to `b` between frames 20 and 20 + n, still before and after.
int ramp(int k, int a, int b, int n = 8) {
    const int t = std::clamp(k - 20, 0, n);
    return a + (b - a) * t / n;
}

TEST(RobustRecognizer, BothArmsRaisedAndHeldIsOneUp) {
    const auto reports = play([](int k) { return std::pair{ramp(k, 70, 5), ramp(k, 70, 5)}; }, 90);
    EXPECT_EQ(reports, std::vector<MotionDir>{kDirUp});
}

TEST(RobustRecognizer, OneArmPulledDownIsNamedByItsSideInThePicture) {
    const ArmPath leftDown = [](int k) { return std::pair{ramp(k, 10, 75), 75}; };
    EXPECT_EQ(play(leftDown, 60), std::vector<MotionDir>{kDirDownLeft});
    // The mirrored picture shows the same arm on the other side.
    EXPECT_EQ(play(leftDown, 60, true), std::vector<MotionDir>{kDirDownRight});
}

TEST(RobustRecognizer, StillnessAndALightSwitchedOnAreNoStrokes) {
    const ArmPath still = [](int) { return std::pair{70, 70}; };
    EXPECT_TRUE(play(still, 60).empty());
    EXPECT_TRUE(play(still, 60, false, 30).empty());
}

TEST(RobustRecognizer, RejectsFramesItCannotUseBeforeAnyStateChanges) {
    RobustRecognizer r;
    EXPECT_THROW(r.observe(cv::Mat(), 1, 30), std::invalid_argument);
    EXPECT_THROW(r.observe(cv::Mat(120, 160, CV_32FC3), 2, 30), std::invalid_argument);
    cv::RNG noise(5);
    EXPECT_EQ(r.observe(drawFrame(70, 70, 0, noise), 3, 30), 0) << "still the arming frame";
}

TEST(RobustRecognizer, ResetForgetsTheLastFrame) {
    RobustRecognizer r;
    cv::RNG noise(5);
    r.observe(drawFrame(70, 70, 0, noise), 1, 30);
    r.reset();
    // After a reset a very different frame only arms the recognizer again.
    EXPECT_EQ(r.observe(drawFrame(5, 5, 0, noise), 2, 30), 0);
    EXPECT_TRUE(r.segments().empty());
}

} // namespace
} // namespace zorvexa::robust
