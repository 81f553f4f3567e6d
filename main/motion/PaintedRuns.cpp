#include "main/motion/PaintedRuns.h"

#include <opencv2/core/saturate.hpp>

namespace zorvexa {

std::vector<PixelRun> runsOf(const cv::Mat& mask, uchar label) {
    std::vector<PixelRun> runs;
    for (int y = 0; y < mask.rows; ++y) {
        const uchar* row = mask.ptr<uchar>(y);
        for (int x = 0; x < mask.cols;) {
            if (row[x] != label) {
                ++x;
                continue;
            }
            const int from = x;
            while (x < mask.cols && row[x] == label)
                ++x;
            runs.push_back({y, from, x});
        }
    }
    return runs;
}

void paintRuns(cv::Mat& image, const std::vector<PixelRun>& runs, const cv::Scalar& colour) {
    const uchar bgr[3] = {cv::saturate_cast<uchar>(colour[0]), cv::saturate_cast<uchar>(colour[1]),
                          cv::saturate_cast<uchar>(colour[2])};
    for (const PixelRun& run : runs) {
        uchar* pixel = image.ptr<uchar>(run.row) + 3 * run.from;
        for (int x = run.from; x < run.to; ++x, pixel += 3) {
            pixel[0] = bgr[0];
            pixel[1] = bgr[1];
            pixel[2] = bgr[2];
        }
    }
}

void PaintedRuns::paint(cv::Mat& image, const cv::Scalar& colour) {
    if (image.empty())
        return;
    if (image.type() != CV_8UC3) {
        draw_(image, colour);
        return;
    }
    if (image.size() != size_) {
        cv::Mat mask(image.size(), CV_8UC1, cv::Scalar(0));
        draw_(mask, cv::Scalar(255));
        runs_ = runsOf(mask, 255);
        size_ = image.size();
    }
    paintRuns(image, runs_, colour);
}

} // namespace zorvexa
