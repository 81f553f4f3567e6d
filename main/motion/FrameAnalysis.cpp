#include "main/motion/FrameAnalysis.h"

#include "main/shell/AppState.h"

namespace zorvexa {

FrameAnalysis analyseFrame(MotionExtractor& extractor, MotionInterpreter& interpreter,
                           StrokeCounter& strokes, AppState& state, const cv::Mat& frame,
                           int timestamp) {
    FrameAnalysis result;
    if (!state.tracking.load())
        return result;
    result.count = extractor.extract(frame, timestamp);
    // Tracking may be switched off by the window thread while the frame is analysed.
    if (!state.tracking.load())
        return result;
    result.analysed = true;
    result.direction = interpreter.interpret();
    strokes.countStroke(state, result.direction, timestamp);
    interpreter.addSample(extractor.segments(), kHistoryLength, state.frameCounter.load());
    return result;
}

} // namespace zorvexa
