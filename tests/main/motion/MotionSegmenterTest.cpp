#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>
#include <opencv2/optflow/motempl.hpp>

#include "main/motion/MotionSegmenter.h"

using namespace zorvexa;

namespace {

std::vector<cv::Rect> openCvSegments(const cv::Mat& history, double now, double threshold) {
    cv::Mat mask;
    std::vector<cv::Rect> rects;
    cv::motempl::segmentMotion(history, mask, rects, now, threshold);
    return rects;
}

} // namespace

TEST(MotionSegmenter, RectanglesEqualOpenCvsOnMovingFigures) {
    // Histories as the extractor builds them: blobs that drift, grow and split, with noise
    // specks, so segments touch, merge over steps of exactly the threshold and break apart.
    cv::RNG rng(11);
    cv::Mat history(120, 160, CV_32FC1, cv::Scalar(0)), silhouette(120, 160, CV_8UC1);
    MotionSegmenter segmenter;
    std::vector<cv::Rect> ours;
    int withSegments = 0;
    for (int t = 1; t <= 400; ++t) {
        silhouette.setTo(0);
        for (int b = 0; b < 3; ++b) {
            const double phase = t * (0.03 + 0.02 * b) + b;
            const cv::Point centre(80 + static_cast<int>(60 * std::sin(phase)),
                                   60 + static_cast<int>(40 * std::cos(phase * 1.3)));
            cv::ellipse(silhouette, centre, cv::Size(6 + (t + 7 * b) % 25, 5 + (t * 3) % 17),
                        t % 180, 0, 360, cv::Scalar(255), cv::FILLED);
        }
        for (int k = 0; k < 20; ++k)
            silhouette.at<uchar>(rng.uniform(0, 120), rng.uniform(0, 160)) = 255;
        const double now = t;
        cv::motempl::updateMotionHistory(silhouette, history, now, 7.0);
        segmenter.segment(history, now, 7.0, ours);
        ASSERT_EQ(ours, openCvSegments(history, now, 7.0)) << "frame " << t;
        withSegments += !ours.empty();
    }
    EXPECT_GT(withSegments, 390);
}

TEST(MotionSegmenter, RectanglesEqualOpenCvsOnArbitraryHistories) {
    // Random values near the threshold: many small segments, seeds inside earlier ones,
    // values exactly the threshold apart, and the image borders.
    cv::RNG rng(5);
    MotionSegmenter segmenter;
    std::vector<cv::Rect> ours;
    for (const cv::Size size : {cv::Size(160, 120), cv::Size(13, 7), cv::Size(1, 1)}) {
        for (int round = 0; round < 30; ++round) {
            cv::Mat values(size, CV_32SC1);
            rng.fill(values, cv::RNG::UNIFORM, 0, 5 + round);
            cv::Mat history;
            values.convertTo(history, CV_32F);
            const double now = 4 + round;
            const double threshold = round % 3 == 0 ? 0.5 : 3 + round % 5;
            segmenter.segment(history, now, threshold, ours);
            ASSERT_EQ(ours, openCvSegments(history, now, threshold)) << size << " round " << round;
        }
    }
    segmenter.segment(cv::Mat(120, 160, CV_32FC1, cv::Scalar(0)), 3, 7, ours);
    EXPECT_TRUE(ours.empty());
}
