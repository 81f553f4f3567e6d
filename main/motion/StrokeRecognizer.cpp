#include "main/motion/StrokeRecognizer.h"

#include "main/motion/FrameAnalysis.h"
#include "main/motion/MotionExtractor.h"
#include "main/motion/MotionInterpreter.h"

namespace zorvexa {

int ClassicRecognizer::observe(const cv::Mat& frame, int timestamp, int /*fps*/) {
    return extractor_.extract(frame, timestamp);
}

MotionDir ClassicRecognizer::decide() {
    return interpreter_.interpret();
}

void ClassicRecognizer::commit(int sampleTimestamp) {
    interpreter_.addSample(extractor_.segments(), kHistoryLength, sampleTimestamp);
}

void ClassicRecognizer::reset() {
    extractor_.reset();
    interpreter_.reset();
}

const std::vector<MotionSegment>& ClassicRecognizer::segments() const {
    return extractor_.segments();
}

MotionDir ClassicRecognizer::lastDirection() const {
    return interpreter_.lastDirection;
}

} // namespace zorvexa
