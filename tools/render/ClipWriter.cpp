#include "tools/render/ClipWriter.h"

#include <cstdio>

#include <opencv2/videoio.hpp>

namespace zorvexa::render {

ClipResult writeClip(const std::string& path, cv::Size size, double fps, int frames,
                     const std::function<cv::Mat(int)>& frameAt) {
    ClipResult result;
    // Same extension, so the container is chosen the same way for the temporary file.
    const std::string partial = path + ".part.avi";
    cv::VideoWriter writer;
    try {
        writer.open(partial, cv::CAP_FFMPEG, cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), fps, size,
                    true);
    } catch (const cv::Exception& e) {
        result.error = "cannot write " + partial + ": " + e.what();
        return result;
    }
    if (!writer.isOpened()) {
        result.error = "cannot write " + partial + ": the video writer did not open";
        return result;
    }
    for (int i = 0; i < frames; ++i) {
        const cv::Mat picture = frameAt(i);
        if (picture.size() != size || picture.type() != CV_8UC3) {
            result.error = "frame " + std::to_string(i) + " of " + path + " has the wrong size";
            writer.release();
            std::remove(partial.c_str());
            return result;
        }
        writer.write(picture);
    }
    writer.release();
    if (std::rename(partial.c_str(), path.c_str()) != 0) {
        result.error = "cannot move " + partial + " to " + path;
        std::remove(partial.c_str());
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace zorvexa::render
