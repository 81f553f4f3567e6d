// Captions on their filled box, drawn once and copied afterwards. On the box the text's
// pixels depend on nothing but the box colour, the lines, how many of them show yet and
// the image width, as long as no text reaches past the box: that is checked the first time
// (the text's footprint), and a caption that does reach out is drawn every time instead.
// The result is the very picture drawCaptions(..., background = true, ...) gives.
#pragma once

#include <string>
#include <vector>

#include <opencv2/core.hpp>

namespace zorvexa {

class CaptionBand {
  public:
    void draw(const std::vector<std::string>& lines, int frameNumber, cv::Mat& image, bool atBottom,
              double fontScale);

  private:
    struct Drawn {
        std::vector<std::string> lines;
        int shownLines = 0;
        bool atBottom = false;
        double fontScale = 0;
        cv::Size size;
        cv::Mat band; // empty: the text reaches past the box
    };
    std::vector<Drawn> drawn_;
};

} // namespace zorvexa
