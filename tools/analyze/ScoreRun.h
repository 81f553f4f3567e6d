// zorvexa-analyze --score: runs a recognizer over every clip of a ground-truth folder
// (NAME.json beside NAME.avi, as zorvexa-render --dataset writes them) and prints, per
// stroke type, what it found, missed and reported wrongly, and what it reported on the
// clips without strokes.
//
// The reports are the interpreter's decisions, the frames zorvexa-analyze prints as
// stroke lines; not the strokes the calorie counter counts, which drops repeats within
// 20 frames. A recognizer that fires twice for one stroke is charged a false positive.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "tools/analyze/StrokeMatch.h"
#include "tools/analyze/VideoAnalysis.h"

namespace zorvexa {

// Analyses one clip with the recognizer being scored, calling `onFrame` for every frame.
using ClipAnalyser =
    std::function<VideoAnalysisResult(const std::string& path, const FrameObserver& onFrame)>;

struct ScoreOptions {
    bool details = false;       // also print every clip's mistakes
    std::string recognizerName; // shown in the heading
};

struct ScoreSummary {
    int clips = 0;
    int failures = 0; // clips that could not be read
    int distractorClips = 0;
    int distractorReports = 0;
    TypeTally overall;
};

// A folder's ground-truth clips, sorted by name: the paths of the JSON files.
std::vector<std::string> groundTruthFiles(const std::string& folder, std::string& error);

ScoreSummary scoreFolder(const std::string& folder, const ClipAnalyser& analyse,
                         const ScoreOptions& options, FILE* out);

} // namespace zorvexa
