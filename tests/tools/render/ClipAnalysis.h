// Helpers for the clip tests: where the rendered clips are, and what the motion
// analysis makes of one.
#pragma once

#include <string>
#include <vector>

#include "main/motion/StrokeRecognizer.h"

namespace zorvexa::test {

std::string clipPath(const std::string& file);

struct Decision {
    int frame;     // analysis frame number, 1 for the first frame
    int direction; // MotionDir
};

struct ClipStrokes {
    bool opened = false;
    std::vector<Decision> decisions; // every non-zero decision, in order
    // Decisions of one direction that follow each other within the stroke counter's
    // 20 frames are one stroke; this is the first decision of each.
    std::vector<Decision> strokes;
    int counted[16] = {}; // strokes the program's stroke counter counted, by direction
};

ClipStrokes analyseClip(const std::string& file,
                        RecognizerKind recognizer = RecognizerKind::Classic);

std::string describe(const std::vector<Decision>& decisions);

} // namespace zorvexa::test
