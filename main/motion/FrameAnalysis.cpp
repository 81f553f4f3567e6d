#include "main/motion/FrameAnalysis.h"

#include "main/shell/AppState.h"

namespace zorvexa {

FrameAnalysis analyseFrame(MotionExtractor& extractor, MotionInterpreter& interpreter,
                           StrokeCounter& strokes, AppState& state, const cv::Mat& frame,
                           int timestamp) {
    ClassicRecognizer classic(extractor, interpreter);
    return analyseFrame(classic, strokes, state, frame, timestamp);
}

FrameAnalysis analyseFrame(StrokeRecognizer& recognizer, StrokeCounter& strokes, AppState& state,
                           const cv::Mat& frame, int timestamp) {
    FrameAnalysis result;
    if (!state.tracking.load())
        return result;
    result.count = recognizer.observe(frame, timestamp, state.fps.load());
    // Tracking may be switched off by the window thread while the frame is analysed.
    if (!state.tracking.load())
        return result;
    result.analysed = true;
    result.direction = recognizer.decide();
    strokes.countStroke(state, result.direction, timestamp);
    recognizer.commit(state.frameCounter.load());
    return result;
}

} // namespace zorvexa
