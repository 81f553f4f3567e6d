#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include "main/motion/FrameSource.h"
#include "main/motion/VideoFileDecoder.h"

using namespace zorvexa;
namespace fs = std::filesystem;

namespace {

bool same(const cv::Mat& a, const cv::Mat& b) {
    return a.size() == b.size() && a.type() == b.type() && cv::norm(a, b, cv::NORM_INF) == 0;
}

// An MJPEG clip whose width is not a multiple of 8 or 16, as a conversion's row ends go.
std::string oddClip() {
    const std::string path = (fs::temp_directory_path() / "zv-odd-clip.avi").string();
    cv::VideoWriter w(path, cv::CAP_FFMPEG, cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), 10,
                      cv::Size(243, 117), true);
    for (int i = 0; i < 12; ++i) {
        cv::Mat f(117, 243, CV_8UC3, cv::Scalar(30, 90, 150));
        cv::circle(f, cv::Point(20 * i, 60), 25, cv::Scalar(250, 40 + 15 * i, 10), cv::FILLED);
        w.write(f);
    }
    return path;
}

} // namespace

TEST(VideoFileDecoder, GivesOpenCvsPicturesRateAndCountAndStartsAgain) {
    std::vector<std::string> clips{oddClip()};
    const fs::path demo = fs::path(ZORVEXA_BIN_DIR) / "DemoVideos";
    for (const char* name : {"demo_session.avi", "center_view.avi"})
        if (fs::exists(demo / name))
            clips.push_back((demo / name).string());
    for (const std::string& clip : clips) {
        cv::VideoCapture reference(clip, cv::CAP_FFMPEG);
        VideoFileDecoder decoder;
        ASSERT_TRUE(decoder.open(clip)) << clip;
        EXPECT_EQ(decoder.fps(), reference.get(cv::CAP_PROP_FPS)) << clip;
        EXPECT_EQ(decoder.frameCount(), reference.get(cv::CAP_PROP_FRAME_COUNT)) << clip;
        cv::Mat expected, got, first;
        int frames = 0;
        while (reference.read(expected)) {
            ASSERT_TRUE(decoder.read(got)) << clip << " frame " << frames;
            ASSERT_TRUE(same(got, expected)) << clip << " frame " << frames;
            if (frames++ == 0)
                first = got.clone();
        }
        EXPECT_FALSE(decoder.read(got)) << clip;
        EXPECT_TRUE(got.empty());
        ASSERT_TRUE(decoder.rewind());
        ASSERT_TRUE(decoder.read(got));
        EXPECT_TRUE(same(got, first)) << clip;
    }
    EXPECT_FALSE(VideoFileDecoder().open("/no/such/clip.avi"));
}

TEST(FrameSource, AFileLoopsAndAJumpGoesOverToOpenCvsReader) {
    const std::string clip = oddClip();
    std::vector<cv::Mat> expected(12);
    cv::VideoCapture reference(clip, cv::CAP_FFMPEG);
    for (cv::Mat& f : expected)
        ASSERT_TRUE(reference.read(f));

    FrameSource looping;
    ASSERT_TRUE(looping.openCamera(clip));
    EXPECT_TRUE(looping.isFile());
    EXPECT_EQ(looping.frameCount(), 12);
    cv::Mat got;
    for (int k = 0; k <= 12; ++k) // at the file's 10 frames a second
        ASSERT_TRUE(looping.read(got)) << k;
    EXPECT_TRUE(same(got, expected[0])) << "after the last frame, the first";

    FrameSource file;
    ASSERT_TRUE(file.openFile(clip));
    for (int k = 0; k < 3; ++k)
        ASSERT_TRUE(file.read(got));
    EXPECT_TRUE(same(got, expected[2]));
    ASSERT_TRUE(file.set(cv::CAP_PROP_POS_FRAMES, 7));
    ASSERT_TRUE(file.read(got));
    EXPECT_TRUE(same(got, expected[7]));
    EXPECT_EQ(file.get(cv::CAP_PROP_FPS), 10);
}
