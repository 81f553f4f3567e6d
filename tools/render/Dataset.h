// Ground-truth clips for measuring the stroke recognition: varied webcam takes of a
// person doing known strokes (or none), each with the list of its strokes. Clip `index`
// of a seed is the same whatever else is rendered with it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <opencv2/core.hpp>

#include "tools/render/DatasetScript.h"
#include "tools/render/Footage.h"

namespace zorvexa::render {

constexpr double kDatasetFps = 30.0;

struct DatasetClip {
    std::string name; // file name without extension: s<seed>_c<index>_<kind>
    std::string kind; // "strokes", or the distractor's name
    std::string description;
    cv::Size size;
    Placement at; // where the person stands in the picture (mirroring applied)
    std::shared_ptr<const Footage> footage;
    std::vector<TruthStroke> strokes; // as seen in the picture (mirroring applied)
};

// Clip `index` (from 1) of `seed`; `small`: at 160 x 120 whatever size it would have.
DatasetClip datasetClip(std::uint64_t seed, int index, bool small = false);

// The clip's strokes as a JSON array: [{"type": "UP", "start": 31, "end": 45}, ...].
std::string truthJson(const std::vector<TruthStroke>& strokes);

struct DatasetResult {
    int written = 0;
    std::string error; // empty on success
};

// Writes clips 1..count of `seed` into `folder`: <name>.avi and <name>.json per clip,
// and s<seed>_index.txt describing them.
DatasetResult writeDataset(const std::string& folder, std::uint64_t seed, int count,
                           bool small = false);

} // namespace zorvexa::render
