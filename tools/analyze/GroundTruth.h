// Reads a clip's ground truth, as zorvexa-render --dataset writes it: a JSON array of
// {"type": "UP", "start": 31, "end": 45} objects (other keys are ignored).
#pragma once

#include <string>
#include <vector>

#include "tools/analyze/StrokeMatch.h"

namespace zorvexa {

struct TruthFile {
    bool ok = false;
    std::vector<TruthStroke> strokes;
    std::string error; // what is wrong with the text, for the user
};

TruthFile parseTruth(const std::string& text);

} // namespace zorvexa
