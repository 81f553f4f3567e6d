#include "tools/analyze/VideoAnalysis.h"

#include <opencv2/videoio.hpp>

#include "main/motion/FrameScaling.h"
#include "main/motion/robust/RobustRecognizer.h"
#include "main/shell/AppState.h"

namespace zorvexa {

VideoAnalysisResult analyseVideo(const std::string& path, AppState& state, StrokeCounter& strokes,
                                 const FrameObserver& onFrame, const ProgressObserver& onProgress,
                                 RecognizerKind recognizer) {
    VideoAnalysisResult result;
    cv::VideoCapture reader;
    try {
        reader.open(path, cv::CAP_FFMPEG);
    } catch (const cv::Exception& e) {
        result.error = "cannot open " + path + ": " + e.what();
        return result;
    }
    if (!reader.isOpened()) {
        result.error = "cannot open " + path + ": not a readable video file";
        return result;
    }
    result.opened = true;
    const double reportedCount = reader.get(cv::CAP_PROP_FRAME_COUNT);
    const int totalFrames =
        reportedCount > 0 && reportedCount < 1e9 ? static_cast<int>(reportedCount) : 0;

    const double fileFps = reader.get(cv::CAP_PROP_FPS);
    MotionExtractor extractor;
    MotionInterpreter interpreter(state.frameWidth, &state);
    interpreter.lastDirection = 0;
    interpreter.upHold = false;
    ClassicRecognizer classic(extractor, interpreter);
    robust::RobustRecognizer robust;
    StrokeRecognizer& active =
        recognizer == RecognizerKind::Robust ? static_cast<StrokeRecognizer&>(robust) : classic;
    state.frameCounter.store(0);

    cv::Mat frame;
    cv::Mat processing;
    for (;;) {
        const int frameNumber = state.frameCounter.fetch_add(1) + 1;
        bool ok = false;
        try {
            ok = reader.read(frame);
        } catch (const cv::Exception& e) {
            result.error = "cannot read frame " + std::to_string(frameNumber) + " of " + path +
                           ": " + e.what();
            break;
        }
        if (!ok || frame.empty())
            break;
        ++result.framesRead;
        toProcessingFrame(frame, processing);
        const FrameAnalysis a = analyseFrame(active, strokes, state, processing, frameNumber);
        if (onFrame) {
            AnalysedFrame f;
            f.frame = frameNumber;
            f.count = a.count;
            f.direction = a.direction;
            f.segments = &active.segments();
            f.processingFrame = &processing;
            f.fileFps = fileFps;
            onFrame(f);
        }
        if (onProgress)
            onProgress(result.framesRead, totalFrames);
    }
    if (result.error.empty() && result.framesRead == 0)
        result.error = "cannot read " + path + ": the file holds no readable video frames";
    return result;
}

} // namespace zorvexa
