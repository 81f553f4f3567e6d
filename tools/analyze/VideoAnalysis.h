// Runs a video file through the motion pipeline the way file playback feeds it: the
// frame counter starts at 0 and is advanced before each read, the first frame only arms
// the extractor, tracking is on. Frames of another size are scaled to 160 x 120 first.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "main/motion/FrameAnalysis.h"
#include "main/motion/MotionSegment.h"
#include "main/motion/StrokeRecognizer.h"

namespace zorvexa {

struct AppState;

struct AnalysedFrame {
    int frame = 0;     // frame counter, 1 for the first frame read
    int count = 0;     // extractor result
    int direction = 0; // interpreter decision
    const std::vector<MotionSegment>* segments = nullptr;
    const cv::Mat* processingFrame = nullptr;
    double fileFps = 0; // frame rate the file reports (0 when unknown)
};

struct VideoAnalysisResult {
    bool opened = false;
    int framesRead = 0;
    std::string error; // empty on success
};

// Called for every frame read; `totalFrames` is what the file reports (may be 0).
using FrameObserver = std::function<void(const AnalysedFrame&)>;
using ProgressObserver = std::function<void(int framesRead, int totalFrames)>;

// Analyses one file with a fresh recognizer of the given kind (the classic extractor and
// interpreter by default). Strokes are counted into `state` through `strokes`.
VideoAnalysisResult analyseVideo(const std::string& path, AppState& state, StrokeCounter& strokes,
                                 const FrameObserver& onFrame,
                                 const ProgressObserver& onProgress = {},
                                 RecognizerKind recognizer = RecognizerKind::Classic);

} // namespace zorvexa
