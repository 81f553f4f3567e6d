// The clips the build renders are where the program looks for them, in a format OpenCV
// reads back, with the sizes, rates and lengths their players expect.
#include <gtest/gtest.h>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include "tests/tools/render/ClipAnalysis.h"
#include "tools/render/Clips.h"

namespace zorvexa::test {
namespace {

struct Expected {
    const char* file;
    int width;
    int height;
    double fps;
    int minFrames;
    int maxFrames;
};

// Guide clips play in the 240 x 240 pane at about ten frames a second; the card for a
// missing webcam plays in the 320 x 240 video pane for a few seconds.
const Expected kClips[] = {
    {"BeginnerMode.avi", 240, 240, 10, 25, 60},
    {"AdvancedMode.avi", 240, 240, 10, 25, 60},
    {"center_view.avi", 240, 240, 10, 25, 60},
    {"backstroke.avi", 240, 240, 10, 25, 60},
    {"butterflystroke.avi", 240, 240, 10, 25, 60},
    {"rightstroke.avi", 240, 240, 10, 25, 60},
    {"leftstroke.avi", 240, 240, 10, 25, 60},
    {"clap.avi", 240, 240, 10, 25, 60},
    {"start_exercising.avi", 240, 240, 10, 25, 60},
    {"webcam_not_connected.avi", 320, 240, 10, 30, 60},
    {"demo_session.avi", 320, 240, 30, 1050, 1350},
};

class RenderedClip : public ::testing::TestWithParam<Expected> {};

TEST_P(RenderedClip, HasTheExpectedFormat) {
    const Expected e = GetParam();
    cv::VideoCapture in(clipPath(e.file), cv::CAP_FFMPEG);
    ASSERT_TRUE(in.isOpened()) << e.file;
    EXPECT_EQ(in.get(cv::CAP_PROP_FRAME_WIDTH), e.width);
    EXPECT_EQ(in.get(cv::CAP_PROP_FRAME_HEIGHT), e.height);
    EXPECT_NEAR(in.get(cv::CAP_PROP_FPS), e.fps, 0.01);
    const int reported = static_cast<int>(in.get(cv::CAP_PROP_FRAME_COUNT));
    int read = 0;
    cv::Mat frame;
    while (in.read(frame)) {
        ASSERT_EQ(frame.cols, e.width);
        ASSERT_EQ(frame.rows, e.height);
        ASSERT_EQ(frame.type(), CV_8UC3);
        ++read;
    }
    // Players trust the reported count, so it must match what can be read.
    EXPECT_EQ(read, reported);
    EXPECT_GE(read, e.minFrames);
    EXPECT_LE(read, e.maxFrames);

    const auto clips = render::allClips();
    const render::Clip* c = render::findClip(clips, e.file);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(read, c->frames);
}

INSTANTIATE_TEST_SUITE_P(DemoVideos, RenderedClip, ::testing::ValuesIn(kClips));

TEST(RenderedClips, EveryRenderedClipIsChecked) {
    const auto clips = render::allClips();
    EXPECT_EQ(clips.size(), std::size(kClips));
}

// Guide captions are drawn over the top 76 rows of the pane: the stroke clips keep the
// person's movement below them, so nothing moves behind the caption box.
class GuideCaptionArea : public ::testing::TestWithParam<const char*> {};

TEST_P(GuideCaptionArea, StaysCalm) {
    cv::VideoCapture in(clipPath(GetParam()), cv::CAP_FFMPEG);
    ASSERT_TRUE(in.isOpened());
    cv::Mat frame, previous;
    double worst = 0.0;
    while (in.read(frame)) {
        cv::Mat top;
        cv::cvtColor(frame(cv::Rect(0, 0, frame.cols, 70)), top, cv::COLOR_BGR2GRAY);
        if (!previous.empty()) {
            cv::Mat diff;
            cv::absdiff(top, previous, diff);
            // Count pixels that changed more than camera noise and flicker do.
            cv::threshold(diff, diff, 30, 255, cv::THRESH_BINARY);
            worst = std::max(worst, cv::countNonZero(diff) / static_cast<double>(diff.total()));
        }
        previous = top;
    }
    EXPECT_LT(worst, 0.01) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(StrokeClips, GuideCaptionArea,
                         ::testing::Values("center_view.avi", "backstroke.avi",
                                           "butterflystroke.avi", "rightstroke.avi",
                                           "leftstroke.avi", "clap.avi"));

} // namespace
} // namespace zorvexa::test
