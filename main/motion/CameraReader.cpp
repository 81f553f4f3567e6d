#include "main/motion/CameraReader.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include <opencv2/videoio.hpp>

#include "common/StageTiming.h"
#include "main/motion/FrameSource.h"

namespace zorvexa {

namespace {

class FrameSourceCamera final : public Camera {
  public:
    bool open(const std::string& source) override { return source_.openCamera(source); }
    bool read(cv::Mat& frame) override { return source_.read(frame); }
    bool isFile() const override { return source_.isFile(); }
    bool set(int property, double value) override { return source_.set(property, value); }
    double get(int property) const override { return source_.get(property); }

  private:
    FrameSource source_;
};

// One frame, timed as the capture stage on whichever thread reads it.
bool readFrame(Camera& camera, cv::Mat& into) {
    timing::Scope timed(timing::Stage::Capture);
    return camera.read(into) && !into.empty();
}

} // namespace

std::unique_ptr<Camera> makeFrameSourceCamera() {
    return std::make_unique<FrameSourceCamera>();
}

// Owned jointly by the reader and the camera thread, so either may go first.
struct CameraReader::Shared {
    std::mutex mutex;
    std::condition_variable changed;
    std::unique_ptr<Camera> camera;
    cv::Mat frame; // the camera thread reads into this one
    Job job;
    bool hasJob = false;
    bool jobDone = false;
    bool jobResult = false;
    bool abandoned = false;
};

CameraReader::CameraReader(std::unique_ptr<Camera> camera, std::function<bool()> stopRequested)
    : shared_(std::make_shared<Shared>()), stopRequested_(std::move(stopRequested)) {
    shared_->camera = std::move(camera);
    std::thread([shared = shared_] {
        std::unique_lock<std::mutex> lock(shared->mutex);
        for (;;) {
            shared->changed.wait(lock, [&] { return shared->hasJob || shared->abandoned; });
            if (!shared->hasJob)
                break; // abandoned with nothing to do
            Job job = std::move(shared->job);
            shared->hasJob = false;
            lock.unlock();
            const bool result = job && job(*shared->camera, shared->frame);
            lock.lock();
            shared->jobResult = result;
            shared->jobDone = true;
            shared->changed.notify_all();
            if (shared->abandoned)
                break;
        }
        std::unique_ptr<Camera> owned = std::move(shared->camera);
        lock.unlock();
        owned.reset(); // releases the device, without the lock
    }).detach();
}

CameraReader::~CameraReader() {
    giveUp();
}

void CameraReader::giveUp() {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    shared_->abandoned = true;
    shared_->changed.notify_all();
    gaveUp_ = true;
}

CameraReader::Result CameraReader::call(Job job, std::chrono::milliseconds limit) {
    if (gaveUp_)
        return Result::Failed;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    std::unique_lock<std::mutex> lock(shared_->mutex);
    shared_->job = std::move(job);
    shared_->hasJob = true;
    shared_->jobDone = false;
    shared_->changed.notify_all();
    for (;;) {
        const auto now = std::chrono::steady_clock::now();
        const auto wake = std::min(deadline, now + kStopPoll);
        if (shared_->changed.wait_until(lock, wake, [&] { return shared_->jobDone; }))
            return shared_->jobResult ? Result::Done : Result::Failed;
        const bool stop = stopRequested_ && stopRequested_();
        if (stop || std::chrono::steady_clock::now() >= deadline) {
            lock.unlock();
            giveUp();
            return stop ? Result::Stopped : Result::TimedOut;
        }
    }
}

CameraReader::Result CameraReader::open(const std::string& source,
                                        const std::vector<std::pair<int, double>>& properties,
                                        double& fps, bool& isFile,
                                        std::chrono::milliseconds limit) {
    // The job keeps its own copies: it may still run after the caller has given up.
    auto facts = std::make_shared<std::pair<double, bool>>(0.0, false);
    const Result result = call(
        [source, properties, facts](Camera& camera, cv::Mat&) {
            if (!camera.open(source))
                return false;
            facts->second = camera.isFile();
            if (!facts->second)
                for (const auto& [property, value] : properties)
                    camera.set(property, value);
            facts->first = camera.get(cv::CAP_PROP_FPS);
            return true;
        },
        limit);
    if (result == Result::Done) {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        fps = facts->first;
        isFile = facts->second;
        readHere_ = isFile;
    }
    return result;
}

CameraReader::Result CameraReader::read(cv::Mat& frame, std::chrono::milliseconds limit) {
    if (readHere_ && !gaveUp_) {
        // No call is pending, so the camera thread leaves the camera alone.
        if (readFrame(*shared_->camera, frame))
            return Result::Done;
        frame.release();
        return Result::Failed;
    }
    const Result result = call(readFrame, limit);
    if (result == Result::Done || result == Result::Failed) {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        if (!gaveUp_)
            cv::swap(frame, shared_->frame);
    }
    if (result != Result::Done)
        frame.release();
    return result;
}

} // namespace zorvexa
