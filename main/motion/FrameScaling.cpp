#include "main/motion/FrameScaling.h"

#include <opencv2/imgproc.hpp>

namespace zorvexa {

namespace {

bool toSize(const cv::Mat& frame, cv::Mat& out, cv::Size size) {
    if (frame.empty())
        return false;
    const cv::Mat* src = &frame;
    cv::Mat colour;
    if (frame.channels() == 1) {
        cv::cvtColor(frame, colour, cv::COLOR_GRAY2BGR);
        src = &colour;
    } else if (frame.channels() == 4) {
        cv::cvtColor(frame, colour, cv::COLOR_BGRA2BGR);
        src = &colour;
    }
    if (src->size() == size) {
        src->copyTo(out);
    } else {
        cv::resize(*src, out, size, 0, 0, cv::INTER_LINEAR);
    }
    return true;
}

} // namespace

bool toProcessingFrame(const cv::Mat& frame, cv::Mat& out) {
    return toSize(frame, out, cv::Size(160, 120));
}

bool toDisplayFrame(const cv::Mat& frame, cv::Mat& out) {
    return toSize(frame, out, cv::Size(320, 240));
}

} // namespace zorvexa
