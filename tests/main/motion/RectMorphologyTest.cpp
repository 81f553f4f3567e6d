#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include "main/motion/RectMorphology.h"

using namespace zorvexa;

TEST(RectMorphology, ClosingAndOpeningEqualOpenCvs) {
    // The extractor's two calls, on silhouettes and on any byte values, at sizes down to
    // smaller than the element, where every pixel is near a border.
    const cv::Mat element(4, 4, CV_8UC1, cv::Scalar(1));
    cv::RNG rng(3);
    RectMorphology morph;
    for (const cv::Size size :
         {cv::Size(160, 120), cv::Size(37, 11), cv::Size(3, 2), cv::Size(1, 1)}) {
        for (bool binary : {true, false}) {
            cv::Mat image(size, CV_8UC1);
            rng.fill(image, cv::RNG::UNIFORM, 0, 256);
            if (binary)
                cv::threshold(image, image, 150, 255, cv::THRESH_BINARY);

            cv::Mat closed, opened;
            cv::morphologyEx(image, closed, cv::MORPH_CLOSE, element, cv::Point(-1, -1), 1,
                             cv::BORDER_CONSTANT, cv::morphologyDefaultBorderValue());
            cv::morphologyEx(image, opened, cv::MORPH_OPEN, element, cv::Point(-1, -1), 1,
                             cv::BORDER_CONSTANT, cv::Scalar(0, 0, 0, 0));

            cv::Mat ours = image.clone(); // in place, as the extractor does
            morph.apply(ours, ours, RectMorph::Dilate, 0);
            morph.apply(ours, ours, RectMorph::Erode, 255);
            EXPECT_EQ(cv::norm(ours, closed, cv::NORM_INF), 0) << size << " binary " << binary;
            ours = image.clone();
            morph.apply(ours, ours, RectMorph::Erode, 0);
            morph.apply(ours, ours, RectMorph::Dilate, 0);
            EXPECT_EQ(cv::norm(ours, opened, cv::NORM_INF), 0) << size << " binary " << binary;
        }
    }
}
