// drawCaptions without the box, for a caller that draws the same captions on frame after
// frame of a video: a line that has stayed the same for a while is recorded as a TextStamp,
// a few grey levels a frame beside its usual drawing, and from then on replayed, which gives
// the same picture for a fraction of the work. A line that changes is drawn again until it
// has stayed the same for as long.
//
// At a whole-number font scale the pen moves by whole pixels from glyph to glyph, so a line
// is also the same drawing as its first word followed by the rest drawn from where that word
// ends; such a line is handled as those two pieces, and the rest of a line whose first word
// changes with every stroke ("12.5 calories burnt") is still replayed. The split is checked
// against the line's own drawing whenever the line changes, and not made where they differ.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <opencv2/core.hpp>

#include "main/motion/TextStamp.h"

namespace zorvexa {

class CaptionStamps {
  public:
    // Recording a line costs about as much as drawing it 300 times, so a line is recorded
    // only once it has stayed the same on `steadyFrames` draws: a line that changes with
    // every stroke is left to the drawing.
    explicit CaptionStamps(int steadyFrames) : steadyFrames_(steadyFrames) {}
    static constexpr int kLevelsPerFrame = 8; // grey levels recorded a draw

    void draw(const std::vector<std::string>& lines, int frameNumber, cv::Mat& image, bool atBottom,
              double fontScale);

    // How many lines or pieces of lines the last draw replayed from their records.
    int replayedPieces() const { return replayed_; }

  private:
    struct Piece {
        CaptionText text;
        int steady = 0;
        std::unique_ptr<TextStamp> stamp;
    };
    struct Split {
        CaptionText line;
        std::vector<CaptionText> pieces;
    };
    const std::vector<CaptionText>& piecesOf(size_t k, const CaptionText& line, int width);
    // Piece k of this draw: replayed when recorded, drawn (and recorded when steady) if not.
    void drawPiece(size_t k, const CaptionText& text, cv::Mat& image);

    int steadyFrames_;
    std::vector<Split> splits_; // per line, kept until the line changes
    std::vector<Piece> pieces_;
    int replayed_ = 0;
};

} // namespace zorvexa
