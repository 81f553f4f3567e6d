// The live loop's camera, opened and read on a thread of its own. A camera whose open
// or read does not return (a driver stuck after the device was unplugged) never holds up
// the loop: the caller waits at most a given time, and gives up at once when its stop
// check says so. A camera given up on is released by its thread once its call returns.
//
// A video file standing in for the camera cannot get stuck that way, so once one is open
// its frames are read on the caller's thread: handing every frame from one thread to the
// other wakes both each frame, and on a virtual machine waking an idle processor costs
// tens of microseconds.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <opencv2/core.hpp>

namespace zorvexa {

// What the live loop reads frames from.
class Camera {
  public:
    virtual ~Camera() = default;
    // As FrameSource::openCamera: "" camera 0, a whole number that camera, else a file.
    virtual bool open(const std::string& source) = 0;
    // The next frame; false (or an empty frame) when none came.
    virtual bool read(cv::Mat& frame) = 0;
    virtual bool isFile() const = 0;
    virtual bool set(int property, double value) = 0;
    virtual double get(int property) const = 0;
};

// The camera or video file of FrameSource.
std::unique_ptr<Camera> makeFrameSourceCamera();

class CameraReader {
  public:
    enum class Result {
        Done,     // the call returned true
        Failed,   // it returned false, or the camera was given up on before
        TimedOut, // it did not return in time: the camera is given up on
        Stopped,  // the stop check asked to end: the camera is given up on
    };

    CameraReader(std::unique_ptr<Camera> camera, std::function<bool()> stopRequested);
    ~CameraReader();
    CameraReader(const CameraReader&) = delete;
    CameraReader& operator=(const CameraReader&) = delete;

    // Opens the source and, for a real camera, asks for the given properties; `fps` gets
    // the rate the camera reports and `isFile` whether the source is a file.
    Result open(const std::string& source, const std::vector<std::pair<int, double>>& properties,
                double& fps, bool& isFile, std::chrono::milliseconds limit);
    // The next frame into `frame` (its buffer is swapped with the reader's own). From a
    // file it is read on the calling thread; `limit` and the stop check then play no part,
    // as the read returns within a frame period.
    Result read(cv::Mat& frame, std::chrono::milliseconds limit);

    // How often the stop check is consulted while a call runs.
    static constexpr std::chrono::milliseconds kStopPoll{50};

  private:
    struct Shared;
    using Job = std::function<bool(Camera&, cv::Mat&)>;
    Result call(Job job, std::chrono::milliseconds limit);
    void giveUp();

    std::shared_ptr<Shared> shared_;
    std::function<bool()> stopRequested_;
    bool gaveUp_ = false;
    bool readHere_ = false; // a file is open: its frames are read on the caller's thread
};

} // namespace zorvexa
