#include "main/motion/FrameSource.h"

#include <cctype>
#include <thread>

namespace zorvexa {

bool isCameraIndex(const std::string& source) {
    if (source.empty() || source.size() > 3)
        return false;
    for (char c : source)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

bool FrameSource::openVideo(const std::string& path) {
    if (file_.open(path)) {
        path_ = path;
        return true;
    }
    capture_.open(path, cv::CAP_FFMPEG);
    return capture_.isOpened();
}

bool FrameSource::openCamera(const std::string& source) {
    release();
    try {
        if (source.empty() || isCameraIndex(source)) {
            capture_.open(source.empty() ? 0 : std::stoi(source), cv::CAP_V4L2);
        } else {
            looping_ = openVideo(source);
            double fps = get(cv::CAP_PROP_FPS);
            if (!(fps >= 1 && fps <= 240))
                fps = 30;
            framePeriod_ = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                std::chrono::duration<double>(1.0 / fps));
            nextDue_ = std::chrono::steady_clock::now();
        }
    } catch (const cv::Exception&) {
        release();
    }
    return isOpened();
}

bool FrameSource::openFile(const std::string& path) {
    release();
    try {
        openVideo(path);
    } catch (const cv::Exception&) {
        release();
    }
    return isOpened();
}

bool FrameSource::read(cv::Mat& frame) {
    bool ok = false;
    try {
        if (file_.isOpened()) {
            ok = file_.read(frame) || (looping_ && file_.rewind() && file_.read(frame));
        } else {
            ok = capture_.read(frame);
            if (!ok && looping_) {
                capture_.set(cv::CAP_PROP_POS_FRAMES, 0);
                ok = capture_.read(frame);
            }
        }
    } catch (const cv::Exception&) {
        ok = false;
    }
    if (!ok)
        frame.release();
    if (looping_) {
        // Deliver at the file's own rate; after a stall, continue from now.
        const auto now = std::chrono::steady_clock::now();
        if (nextDue_ > now)
            std::this_thread::sleep_until(nextDue_);
        else if (now - nextDue_ > framePeriod_ * 2)
            nextDue_ = now;
        nextDue_ += framePeriod_;
    }
    return ok;
}

bool FrameSource::set(int property, double value) {
    try {
        if (file_.isOpened()) {
            if (property != cv::CAP_PROP_POS_FRAMES)
                return false; // what OpenCV's reader answers for a file
            if (value == 0)
                return file_.rewind();
            file_.close();
            capture_.open(path_, cv::CAP_FFMPEG);
        }
        return capture_.set(property, value);
    } catch (const cv::Exception&) {
        return false;
    }
}

double FrameSource::get(int property) const {
    try {
        if (file_.isOpened())
            return property == cv::CAP_PROP_FPS           ? file_.fps()
                   : property == cv::CAP_PROP_FRAME_COUNT ? file_.frameCount()
                                                          : 0;
        return capture_.isOpened() ? capture_.get(property) : 0;
    } catch (const cv::Exception&) {
        return 0;
    }
}

int FrameSource::frameCount() const {
    const double count = get(cv::CAP_PROP_FRAME_COUNT);
    return count > 0 && count < 1e9 ? static_cast<int>(count) : 0;
}

void FrameSource::release() {
    file_.close();
    capture_.release();
    looping_ = false;
}

} // namespace zorvexa
