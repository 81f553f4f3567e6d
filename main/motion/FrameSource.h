// Where camera frames come from: a camera device, or a video file standing in for one.
// A file is delivered at its own frame rate, as a camera would deliver it, and starts
// again from its beginning when it ends.
#pragma once

#include <chrono>
#include <string>

#include <opencv2/core.hpp>
#include <opencv2/videoio.hpp>

#include "main/motion/VideoFileDecoder.h"

namespace zorvexa {

// Files are read with VideoFileDecoder while they are read front to back (and from the
// start again); a jump to another frame goes over to OpenCV's reader.
class FrameSource {
  public:
    // "" opens camera 0; a whole number opens that camera; anything else is a video file.
    bool openCamera(const std::string& source);
    // A plain file reader (no pacing, no looping), as frame stepping uses.
    bool openFile(const std::string& path);
    bool isOpened() const { return file_.isOpened() || capture_.isOpened(); }
    bool isFile() const { return looping_; }
    // The next frame; false (and an empty frame) when none came.
    bool read(cv::Mat& frame);
    bool set(int property, double value);
    double get(int property) const;
    // The frame count the file reports, 0 when unknown or not open.
    int frameCount() const;
    void release();

  private:
    bool openVideo(const std::string& path);

    VideoFileDecoder file_;
    std::string path_; // of the file file_ reads
    cv::VideoCapture capture_;
    bool looping_ = false;
    std::chrono::steady_clock::duration framePeriod_{};
    std::chrono::steady_clock::time_point nextDue_{};
};

// Whether the text names a camera by index ("0", "2"), as opposed to a file.
bool isCameraIndex(const std::string& source);

} // namespace zorvexa
