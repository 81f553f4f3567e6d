#include "tests/tools/render/ClipAnalysis.h"

#include "main/motion/MotionDir.h"
#include "main/motion/StrokeCounter.h"
#include "main/shell/AppState.h"
#include "tools/analyze/VideoAnalysis.h"

namespace zorvexa::test {

std::string clipPath(const std::string& file) {
    return std::string(ZORVEXA_BIN_DIR) + "/DemoVideos/" + file;
}

ClipStrokes analyseClip(const std::string& file, RecognizerKind recognizer) {
    ClipStrokes out;
    AppState state;
    StrokeCounter counter;
    const VideoAnalysisResult r = analyseVideo(
        clipPath(file), state, counter,
        [&out](const AnalysedFrame& f) {
            if (f.direction != 0)
                out.decisions.push_back(Decision{f.frame, f.direction});
        },
        {}, recognizer);
    out.opened = r.opened && r.error.empty();
    int last = -1000;
    for (const Decision& d : out.decisions) {
        if (!out.strokes.empty() && out.strokes.back().direction == d.direction &&
            d.frame - last < StrokeCounter::kDebounceFrames) {
            last = d.frame;
            continue;
        }
        out.strokes.push_back(d);
        last = d.frame;
    }
    for (int dir = 0; dir < 16; ++dir) {
        const int i = strokeIndexOf(dir);
        if (i >= 0)
            out.counted[dir] = state.strokeCount(i);
    }
    return out;
}

std::string describe(const std::vector<Decision>& decisions) {
    std::string s;
    for (const Decision& d : decisions)
        s += std::string(s.empty() ? "" : ", ") + directionName(d.direction) + "@" +
             std::to_string(d.frame);
    return s.empty() ? "(none)" : s;
}

} // namespace zorvexa::test
