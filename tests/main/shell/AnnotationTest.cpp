#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "main/motion/Annotation.h"
#include "main/motion/CaptionBand.h"
#include "main/motion/CaptionStamps.h"
#include "main/motion/PaintedRuns.h"
#include "main/motion/TextStamp.h"

using namespace zorvexa;

namespace {

const cv::Vec3b kBlack(0, 0, 0);
const cv::Vec3b kBlue(255, 0, 0);
const cv::Vec3b kRed(0, 0, 255);
const cv::Vec3b kYellow(0, 255, 255);
const cv::Vec3b kBox(214, 171, 92);

cv::Mat blackImage(int rows = 240, int cols = 320) {
    return cv::Mat(rows, cols, CV_8UC3, cv::Scalar(0, 0, 0));
}

// Ink of a caption on black: anti-aliased edges fade towards black, so only the pixels
// at least half covered count as the glyph.
bool isRedShade(const cv::Vec3b& p) {
    return p[2] >= 128 && p[0] == 0 && p[1] == 0;
}
bool isYellowShade(const cv::Vec3b& p) {
    return p[2] >= 128 && p[0] == 0 && p[1] == p[2];
}

// Rows and columns of the pixels that `match`.
struct Extent {
    int top = 1 << 30, bottom = -1, left = 1 << 30, right = -1, count = 0;
};
template <typename Match> Extent extentOf(const cv::Mat& image, Match match) {
    Extent e;
    for (int y = 0; y < image.rows; ++y)
        for (int x = 0; x < image.cols; ++x)
            if (match(image.at<cv::Vec3b>(y, x))) {
                e.top = std::min(e.top, y);
                e.bottom = std::max(e.bottom, y);
                e.left = std::min(e.left, x);
                e.right = std::max(e.right, x);
                ++e.count;
            }
    return e;
}

// Mean column of the matching pixels in one row.
template <typename Match> double meanColumn(const cv::Mat& image, int row, Match match) {
    double sum = 0;
    int n = 0;
    for (int x = 0; x < image.cols; ++x)
        if (match(image.at<cv::Vec3b>(row, x))) {
            sum += x;
            ++n;
        }
    return n ? sum / n : -1;
}

const std::vector<std::string> kLines{"HIH", "HIH", "HIH"};

} // namespace

TEST(AnnotationCaptions, LinesAppearAfterFramesFiveAndTen) {
    for (int frame : {5, 6, 10, 11}) {
        cv::Mat image = blackImage();
        drawCaptions(kLines, frame, image, true, false, 0.7);
        const Extent red = extentOf(image, isRedShade);
        const Extent yellow = extentOf(image, isYellowShade);
        // Capital letters stand on the baseline: 24, 44 and 64 below the band's top.
        EXPECT_EQ(red.bottom, 188) << frame;
        EXPECT_GE(red.top, 164) << frame;
        if (frame <= 5) {
            EXPECT_EQ(yellow.count, 0) << frame;
        } else if (frame <= 10) {
            EXPECT_EQ(yellow.bottom, 208) << frame;
            EXPECT_GT(yellow.top, 188) << frame;
        } else {
            EXPECT_EQ(yellow.bottom, 228) << frame;
        }
        EXPECT_GE(red.left, 10);
    }
}

TEST(AnnotationCaptions, TopBandAndShortListsAndEmptyImages) {
    cv::Mat image = blackImage();
    drawCaptions({"HIH"}, 100, image, false, false, 1.0);
    EXPECT_EQ(extentOf(image, isRedShade).bottom, 24);
    EXPECT_EQ(extentOf(image, isYellowShade).count, 0) << "lines the list does not have";

    cv::Mat empty;
    drawCaptions(kLines, 100, empty, true, true, 1.0);
    drawGestureArrow(empty, kDirUp, true);
    EXPECT_TRUE(empty.empty());
}

TEST(AnnotationCaptions, FirstLineIsItalicAndAntiAliasedTheOthersUpright) {
    cv::Mat image = blackImage();
    drawCaptions({"I", "I"}, 6, image, false, false, 1.0);
    const Extent red = extentOf(image, isRedShade);
    const Extent yellow = extentOf(image, isYellowShade);
    EXPECT_GT(meanColumn(image, red.top + 1, isRedShade),
              meanColumn(image, red.bottom - 1, isRedShade) + 1.5)
        << "the italic stroke leans to the right";
    EXPECT_NEAR(meanColumn(image, yellow.top + 1, isYellowShade),
                meanColumn(image, yellow.bottom - 1, isYellowShade), 0.5);
    const Extent partial =
        extentOf(image, [](const cv::Vec3b& p) { return p[2] > 0 && p[2] < 255; });
    EXPECT_GT(partial.count, 0) << "edges are blended";
}

TEST(AnnotationCaptions, BackgroundBoxSpansTheBand) {
    cv::Mat image = blackImage();
    drawCaptions(kLines, 1, image, true, true, 0.8);
    EXPECT_EQ(image.at<cv::Vec3b>(164, 0), kBox);
    EXPECT_EQ(image.at<cv::Vec3b>(239, 318), kBox);
    EXPECT_EQ(image.at<cv::Vec3b>(239, 319), kBlack) << "the box ends at columns - 2";
    EXPECT_EQ(image.at<cv::Vec3b>(163, 100), kBlack);
    const Extent reddish =
        extentOf(image, [](const cv::Vec3b& p) { return p[2] > 200 && p[0] < 100; });
    EXPECT_EQ(reddish.bottom, 188) << "the first line is drawn over the box";

    cv::Mat top = blackImage();
    drawCaptions(kLines, 1, top, false, true, 0.8);
    EXPECT_EQ(top.at<cv::Vec3b>(0, 0), kBox);
    EXPECT_EQ(top.at<cv::Vec3b>(76, 318), kBox);
    EXPECT_EQ(top.at<cv::Vec3b>(77, 100), kBlack);
}

// The copied box must be the drawn one on any picture, through the stages of a clip, and
// a caption whose text leaves the box (too long for a narrow image) must still be drawn
// in full on every frame.
TEST(AnnotationCaptions, BandCopiesAreTheDrawnCaptions) {
    const std::vector<std::string> guide = {"select menu-item     ", "pull shoulders back",
                                            "and <CLAP>"};
    const std::vector<std::string> wide = {"a caption much longer than this image is wide"};
    cv::RNG rng(5);
    for (const auto& [lines, cols] : {std::pair{guide, 240}, std::pair{wide, 120}}) {
        CaptionBand band;
        for (int frame = 1; frame <= 14; ++frame) {
            cv::Mat picture(240, cols, CV_8UC3);
            rng.fill(picture, cv::RNG::UNIFORM, 0, 256);
            cv::Mat expected = picture.clone();
            drawCaptions(lines, frame, expected, false, true, 0.8);
            band.draw(lines, frame, picture, false, 0.8);
            ASSERT_EQ(cv::norm(picture, expected, cv::NORM_INF), 0)
                << lines[0] << ", frame " << frame;
        }
    }
}

// The guide pane's frame painted from its runs must be OpenCV's drawing, on the clip's own
// size, after a change of size, clipped on a smaller picture, and in another colour.
TEST(AnnotationFrame, PaintedRunsAreTheDrawing) {
    const auto frame = [](cv::Mat& image, const cv::Scalar& colour) {
        cv::rectangle(image, cv::Point(0, 0), cv::Point(238, 238), colour, 2, cv::LINE_8);
    };
    PaintedRuns runs(frame);
    cv::RNG rng(9);
    const std::vector<std::pair<cv::Size, cv::Scalar>> cases{{{240, 240}, {0, 0, 0}},
                                                             {{240, 240}, {0, 0, 0}},
                                                             {{320, 260}, {0, 0, 0}},
                                                             {{120, 200}, {0, 0, 0}},
                                                             {{240, 240}, {30, 200, 90}}};
    for (const auto& [size, colour] : cases) {
        cv::Mat picture(size, CV_8UC3);
        rng.fill(picture, cv::RNG::UNIFORM, 0, 256);
        cv::Mat expected = picture.clone();
        frame(expected, colour);
        runs.paint(picture, colour);
        ASSERT_EQ(cv::norm(picture, expected, cv::NORM_INF), 0) << size << " " << colour;
    }
}

// A replayed text must be the drawn one on any picture: for caption lines, for a colour
// with channels between 0 and 255, for text that runs off the image, and on grey and
// four-channel images.
TEST(AnnotationCaptions, TextStampsReplayTheDrawingExactly) {
    const int italic = cv::FONT_HERSHEY_COMPLEX_SMALL | cv::FONT_ITALIC;
    const std::vector<std::pair<CaptionText, int>> cases{
        {{"center yourself in view", {10, 188}, italic, 0.7, {0, 0, 255}}, CV_8UC3},
        {{"12.5 calories burnt", {10, 228}, cv::FONT_HERSHEY_COMPLEX_SMALL, 1.0, {37, 200, 128}},
         CV_8UC3},
        {{"runs off the right and the bottom", {200, 238}, italic, 1.3, {0, 255, 255}}, CV_8UC3},
        {{"grey", {40, 100}, cv::FONT_HERSHEY_COMPLEX_SMALL, 0.8, cv::Scalar(201)}, CV_8UC1},
        {{"four", {40, 100}, cv::FONT_HERSHEY_COMPLEX_SMALL, 0.8, {9, 99, 199, 77}}, CV_8UC4},
    };
    cv::RNG rng(11);
    for (const auto& [text, type] : cases) {
        TextStamp stamp(text, cv::Size(320, 240), type);
        int calls = 0;
        while (!stamp.record(100) && !stamp.failed())
            ++calls;
        ASSERT_TRUE(stamp.ready()) << text.text;
        EXPECT_EQ(calls, 2) << "100 levels a call";
        for (int n = 0; n < 4; ++n) {
            cv::Mat picture(240, 320, type);
            rng.fill(picture, cv::RNG::UNIFORM, 0, 256);
            cv::Mat expected = picture.clone();
            putCaptionText(expected, text);
            stamp.apply(picture);
            ASSERT_EQ(cv::norm(picture, expected, cv::NORM_INF), 0) << text.text;
        }
    }
}

// Lines are replayed once they have stayed the same long enough, and drawn again as soon
// as one changes: the picture is drawCaptions' on every frame either way.
TEST(AnnotationCaptions, StampedCaptionsAreTheDrawnCaptions) {
    std::vector<std::string> lines = {"center yourself in view", "hands should not show",
                                      "while down in resting position"};
    const int steady = 40;
    const int recorded = steady + 256 / CaptionStamps::kLevelsPerFrame;
    const int change = recorded + 20;
    CaptionStamps stamps(steady);
    cv::RNG rng(3);
    cv::Mat picture(240, 320, CV_8UC3), expected;
    for (int frame = 1; frame <= change + recorded + 5; ++frame) {
        if (frame == change)
            lines[1] = "hands should now show";
        rng.fill(picture, cv::RNG::UNIFORM, 0, 256);
        expected = picture.clone();
        drawCaptions(lines, frame, expected, true, false, 0.7);
        stamps.draw(lines, frame, picture, true, 0.7);
        ASSERT_EQ(cv::norm(picture, expected, cv::NORM_INF), 0) << "frame " << frame;
        if (frame == recorded + 11) {
            EXPECT_EQ(stamps.replayedPieces(), 3);
        }
        if (frame == change) {
            EXPECT_EQ(stamps.replayedPieces(), 2) << "the changed line is drawn";
        }
    }
    EXPECT_EQ(stamps.replayedPieces(), 3);
}

// At a whole-number scale a line goes in two pieces, its first word and the rest: the rest
// of a line whose number changes with every stroke is replayed, and follows the number
// when its width changes (9.9 to 10.2).
TEST(AnnotationCaptions, LinesSplitAtTheirFirstWordAreTheDrawnCaptions) {
    const int steady = 3;
    // The third line shows from frame 10 on; every piece is recorded by then.
    const int recorded = 10 + steady + 256 / CaptionStamps::kLevelsPerFrame;
    const int period = recorded + 5;
    CaptionStamps stamps(steady);
    cv::RNG rng(5);
    cv::Mat picture(240, 320, CV_8UC3), expected;
    float calories = 8.4f;
    for (int frame = 1; frame < 8 * period; ++frame) {
        if (frame % period == 0)
            calories += 0.9f;
        char number[32];
        std::snprintf(number, sizeof number, "%3.1f calories burnt", static_cast<double>(calories));
        const std::vector<std::string> lines{"", "Beginner mode", number};
        rng.fill(picture, cv::RNG::UNIFORM, 0, 256);
        expected = picture.clone();
        drawCaptions(lines, frame, expected, true, false, 1.0);
        stamps.draw(lines, frame, picture, true, 1.0);
        ASSERT_EQ(cv::norm(picture, expected, cv::NORM_INF), 0) << "frame " << frame;
        // The mode caption's two pieces and the rest of the calorie line are replayed even on
        // the frame its number changes, as long as the number keeps its width.
        if (frame == period) {
            EXPECT_EQ(stamps.replayedPieces(), 3);
        }
    }
    EXPECT_EQ(stamps.replayedPieces(), 4);
}

TEST(AnnotationArrow, CircleAloneForCodesWithoutAGlyph) {
    for (int code : {0, 1, 11, -3}) {
        cv::Mat image = blackImage();
        drawGestureArrow(image, code, true);
        EXPECT_EQ(image.at<cv::Vec3b>(120, 100), kBlue) << code;
        EXPECT_EQ(image.at<cv::Vec3b>(120, 220), kBlue) << code;
        EXPECT_EQ(image.at<cv::Vec3b>(60, 160), kBlue) << code;
        EXPECT_EQ(image.at<cv::Vec3b>(180, 160), kBlue) << code;
        EXPECT_EQ(image.at<cv::Vec3b>(120, 160), kBlack) << code;
        const Extent blue = extentOf(image, [](const cv::Vec3b& p) { return p == kBlue; });
        EXPECT_EQ(blue.top, 60);
        EXPECT_EQ(blue.bottom, 180);
        EXPECT_EQ(blue.count +
                      extentOf(image, [](const cv::Vec3b& p) { return p == kBlack; }).count,
                  240 * 320)
            << "blue only, no anti-aliasing";
    }
}

TEST(AnnotationArrow, EachDirectionDrawsItsStrokes) {
    struct Case {
        int direction;
        std::vector<std::pair<cv::Point, cv::Point>> strokes;
    };
    const int cx = 160, cy = 120, l = 100, r = 220, t = 60, b = 180;
    const cv::Point west(l, cy), east(r, cy), north(cx, t), south(cx, b);
    const std::vector<Case> cases{
        {kDirUp, {{west, north}, {east, north}}},
        {kDirUpRight, {{south, north}, {east, north}}},
        {kDirUpLeft, {{west, north}, {south, north}}},
        {kDirDown, {{west, south}, {east, south}}},
        {kDirDownRight, {{north, south}, {east, south}}},
        {kDirDownLeft, {{west, south}, {north, south}}},
        {kDirRightToLeft, {{west, north}, {west, south}}},
        {kDirLeftToRight, {{east, north}, {east, south}}},
        {kDirToCenter,
         {{{l, t}, {cx - 10, cy}},
          {{l, b}, {cx - 10, cy}},
          {{r, t}, {cx + 10, cy}},
          {{r, b}, {cx + 10, cy}}}},
    };
    for (const Case& c : cases) {
        for (bool hasAction : {true, false}) {
            cv::Mat image = blackImage();
            drawGestureArrow(image, c.direction, hasAction);
            const cv::Vec3b colour = hasAction ? kRed : kYellow;
            std::vector<cv::Point> covered;
            for (const auto& [from, to] : c.strokes) {
                for (const cv::Point& p : {from, to, (from + to) / 2}) {
                    EXPECT_EQ(image.at<cv::Vec3b>(p), colour)
                        << "direction " << c.direction << " at " << p;
                    covered.push_back(p);
                }
            }
            // The four circle points that no stroke touches stay blue.
            for (const cv::Point& p : {west, east, north, south}) {
                if (std::find(covered.begin(), covered.end(), p) == covered.end()) {
                    EXPECT_EQ(image.at<cv::Vec3b>(p), kBlue)
                        << "direction " << c.direction << " at " << p;
                }
            }
            // Lines are 16 pixels thick: 8 pixels off a stroke's end is still coloured,
            // 10 is not.
            const cv::Point end = c.strokes.front().second;
            EXPECT_EQ(image.at<cv::Vec3b>(end + cv::Point(0, 7)), colour);
            EXPECT_EQ(extentOf(image,
                               [](const cv::Vec3b& p) {
                                   return p != kBlack && p != kBlue && p != kRed && p != kYellow;
                               })
                          .count,
                      0)
                << "no blending";
        }
    }
    cv::Mat toCenter = blackImage();
    drawGestureArrow(toCenter, kDirToCenter, true);
    EXPECT_EQ(toCenter.at<cv::Vec3b>(120, 160), kBlack) << "the two tips stay apart";
}

TEST(AnnotationArrow, GeometryFollowsTheImageSize) {
    cv::Mat image = blackImage(120, 160);
    drawGestureArrow(image, kDirUp, false);
    EXPECT_EQ(image.at<cv::Vec3b>(30, 80), kYellow); // tip (cx, cy - rows / 4)
    EXPECT_EQ(image.at<cv::Vec3b>(60, 50), kYellow); // (cx - r, cy)
    EXPECT_EQ(image.at<cv::Vec3b>(90, 80), kBlue);   // bottom of the circle
    cv::imwrite(std::string(ZORVEXA_TEST_OUTPUT) + "/annotation_arrow_up.png", image);
}

TEST(AnnotationArrow, WritesThePixelsTheDrawingCovers) {
    // The arrow is written from a cached list of pixels; on any picture the result must be
    // the one OpenCV's drawing gives, for every direction, colour and size, and again once
    // the list is cached.
    cv::RNG rng(11);
    for (const cv::Size size : {cv::Size(320, 240), cv::Size(160, 120), cv::Size(99, 61)}) {
        for (int direction = -1; direction <= 12; ++direction) {
            for (bool hasAction : {true, false}) {
                for (int pass = 0; pass < 2; ++pass) {
                    cv::Mat picture(size, CV_8UC3);
                    rng.fill(picture, cv::RNG::UNIFORM, 0, 256);
                    cv::Mat drawn = picture.clone();
                    paintGestureArrow(drawn, direction, cv::Scalar(255, 0, 0),
                                      hasAction ? cv::Scalar(0, 0, 255) : cv::Scalar(0, 255, 255));
                    drawGestureArrow(picture, direction, hasAction);
                    ASSERT_EQ(cv::norm(picture, drawn, cv::NORM_INF), 0)
                        << size << " direction " << direction << " action " << hasAction;
                }
            }
        }
    }
}
