#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include "main/motion/FrameScaling.h"

using namespace zorvexa;

// The halving must be OpenCV's bilinear resize exactly: at the display size, at widths that
// leave a tail after the 16- and 8-pixel steps, from a region of a larger picture (rows not
// adjacent in memory), and a size that is not a half goes to OpenCV.
TEST(FrameScaling, ResizeEqualsOpenCvsBilinear) {
    cv::RNG rng(9);
    cv::Mat large(300, 400, CV_8UC3);
    rng.fill(large, cv::RNG::UNIFORM, 0, 256);
    const std::vector<std::pair<cv::Mat, cv::Size>> cases{
        {large(cv::Rect(0, 0, 320, 240)).clone(), {160, 120}},
        {large(cv::Rect(3, 5, 34, 10)).clone(), {17, 5}},
        {large(cv::Rect(3, 5, 58, 10)).clone(), {29, 5}},
        {large(cv::Rect(1, 1, 2, 2)).clone(), {1, 1}},
        {large(cv::Rect(7, 9, 320, 240)), {160, 120}},
        {large(cv::Rect(0, 0, 320, 240)).clone(), {100, 75}},
    };
    for (const auto& [frame, size] : cases) {
        cv::Mat expected, ours;
        cv::resize(frame, expected, size, 0, 0, cv::INTER_LINEAR);
        resizeBilinear(frame, ours, size);
        EXPECT_EQ(cv::norm(ours, expected, cv::NORM_INF), 0) << frame.size() << " to " << size;
    }
    // Extremes, where the rounding of the mean shows.
    for (int level : {0, 1, 2, 3, 253, 254, 255}) {
        cv::Mat frame(240, 320, CV_8UC3, cv::Scalar::all(level)), expected, ours;
        frame(cv::Rect(0, 0, 320, 240)).forEach<cv::Vec3b>([&](cv::Vec3b& p, const int* at) {
            p[at[1] % 3] = static_cast<uchar>(255 - level);
        });
        cv::resize(frame, expected, {160, 120}, 0, 0, cv::INTER_LINEAR);
        resizeBilinear(frame, ours, {160, 120});
        EXPECT_EQ(cv::norm(ours, expected, cv::NORM_INF), 0) << level;
    }
}

// Mirroring must be cv::flip's: at widths around the 16-pixel blocks taken from both ends
// (where the blocks meet or leave an odd middle), in a region of a larger picture, and for
// another type.
TEST(FrameScaling, MirrorEqualsOpenCvsFlip) {
    cv::RNG rng(11);
    cv::Mat large(300, 400, CV_8UC3);
    rng.fill(large, cv::RNG::UNIFORM, 0, 256);
    std::vector<cv::Mat> cases;
    for (int width : {1, 2, 15, 16, 31, 32, 33, 47, 48, 63, 64, 65, 320})
        cases.push_back(large(cv::Rect(0, 0, width, 3)).clone());
    cases.push_back(large(cv::Rect(5, 7, 320, 240)));
    cv::Mat grey(4, 37, CV_8UC1);
    rng.fill(grey, cv::RNG::UNIFORM, 0, 256);
    cases.push_back(grey);
    for (cv::Mat& frame : cases) {
        cv::Mat expected;
        cv::flip(frame, expected, 1);
        mirrorColumns(frame);
        EXPECT_EQ(cv::norm(frame, expected, cv::NORM_INF), 0) << frame.size() << frame.type();
    }
}
