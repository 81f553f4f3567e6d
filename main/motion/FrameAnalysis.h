// The analysis half of one pipeline step, shared by the live loop, file playback,
// stepping and the headless analyzer: extract, decide, count, remember.
#pragma once

#include <opencv2/core.hpp>

#include "main/motion/MotionExtractor.h"
#include "main/motion/MotionInterpreter.h"
#include "main/motion/StrokeCounter.h"
#include "main/motion/StrokeRecognizer.h"

namespace zorvexa {

struct AppState;

struct FrameAnalysis {
    bool analysed = false; // false when tracking was off (nothing was decided)
    int count = 0;         // what the extractor returned
    int direction = 0;     // the interpreter's decision, taken before this frame joined
};

// How many samples the interpreter's history keeps.
constexpr int kHistoryLength = 60;

// One analysis step on a 160 x 120 frame. `timestamp` drives the extractor and the
// stroke debounce; the sample joins the history under the state's frameCounter.
FrameAnalysis analyseFrame(MotionExtractor& extractor, MotionInterpreter& interpreter,
                           StrokeCounter& strokes, AppState& state, const cv::Mat& frame,
                           int timestamp);

// The same step through any recognizer; the classic pair above is one of them.
FrameAnalysis analyseFrame(StrokeRecognizer& recognizer, StrokeCounter& strokes, AppState& state,
                           const cv::Mat& frame, int timestamp);

} // namespace zorvexa
