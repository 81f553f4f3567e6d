// Every clip the program ships in its DemoVideos folder: the guide clips that teach the
// strokes (played in the 240 x 240 guide pane at about ten frames a second, with
// captions drawn over the top 76 rows), the title cards, the card shown when no webcam
// is connected, and the filmed demo session.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <opencv2/core.hpp>

namespace zorvexa::render {

struct Clip {
    std::string file; // file name inside DemoVideos
    cv::Size size;
    double fps = 10.0;
    int frames = 0;
    std::function<cv::Mat(int)> frameAt; // frame 0 .. frames-1
};

std::vector<Clip> allClips();

// The clip of that file name, or nullptr.
const Clip* findClip(const std::vector<Clip>& clips, const std::string& file);

} // namespace zorvexa::render
