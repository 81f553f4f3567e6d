// Writes a clip as Motion-JPEG in an AVI container, a format OpenCV's FFmpeg back end
// both writes and reads on every platform we build for. The file appears under its
// final name only when it is complete.
#pragma once

#include <functional>
#include <string>

#include <opencv2/core.hpp>

namespace zorvexa::render {

struct ClipResult {
    bool ok = false;
    std::string error; // what went wrong, for the user
};

ClipResult writeClip(const std::string& path, cv::Size size, double fps, int frames,
                     const std::function<cv::Mat(int)>& frameAt);

} // namespace zorvexa::render
