// One anti-aliased text drawing, replayed from a record of what it does to each channel value
// it changes.
//
// OpenCV draws such text as a series of anti-aliased lines, each of which blends the
// channels of the pixels it passes over towards the colour, one channel at a time and by a
// weight that depends only on where the pixel lies. So what the drawing does to a channel
// of one pixel is a fixed function of that channel's value alone: drawing the text once on
// each of the 256 grey levels gives that function exactly, for every pixel. A blend by a
// weight below one takes neighbouring values to the same or to neighbouring values, so the
// function never falls and rises by 0 or 1 from one level to the next: it is kept as its
// value at every 64th level and a bit per level, and read back with a population count. Replaying
// costs a fraction of drawing (about 13,000 changed channel values for three caption lines), and
// the picture is the drawing's, bit for bit. Should a level ever go up by more than 1 or go down,
// the record is given up (`failed`) and the caller draws instead.
#pragma once

#include <cstdint>
#include <vector>

#include <opencv2/core.hpp>

#include "main/motion/Annotation.h"

namespace zorvexa {

class TextStamp {
  public:
    static constexpr int kLevels = 256;

    // A record of `text` as drawn on 8-bit images of `size` with 1 to 4 channels (`type`);
    // nothing is drawn yet.
    TextStamp(CaptionText text, cv::Size size, int type);

    // Draws the text on up to `levels` more grey levels; true once all 256 are recorded.
    bool record(int levels);
    bool ready() const { return level_ == kLevels && !failed_; }
    bool failed() const { return failed_; }

    // The drawing on `image`: replayed when ready and `image` is of the size and type given,
    // drawn otherwise.
    void apply(cv::Mat& image) const;

    const CaptionText& text() const { return text_; }
    cv::Size size() const { return size_; }
    int type() const { return type_; }

  private:
    void start();
    void finish();

    // What the drawing does to one channel value: its result at levels 0, 64, 128 and 192,
    // and bit j set when level j + 1 gives one more than level j. Packed: the replay
    // streams through these.
    struct Response {
        std::uint8_t at64[4] = {};
        std::uint8_t rise[32] = {};
        bool operator==(const Response& o) const;
        bool isIdentity() const; // every level gives itself
    };
    static constexpr std::uint8_t kUnchanged = 0xff;
    // A pixel the drawing changes: where it is and, per channel, which of the responses
    // that follow the previous pixel's in `responses_` applies. Channels drawn in the same
    // colour respond alike and share one (two responses a pixel for a red or a yellow text
    // instead of three).
    struct Pixel {
        std::uint16_t row = 0;
        std::uint16_t byte = 0; // of its first channel, within the row
        std::uint8_t count = 0; // responses of its own
        std::uint8_t use[4] = {kUnchanged, kUnchanged, kUnchanged, kUnchanged};
    };
    // While recording, one for each channel of each pixel of the footprint.
    struct Recording {
        Response response;
        std::uint8_t last = 0; // the value at the previous level
    };

    CaptionText text_;
    cv::Size size_;
    int type_;
    int channels_ = 0;
    int level_ = -1; // -1: the footprint is not found yet
    bool failed_ = false;
    cv::Rect box_;                     // the rows and columns the text can touch
    cv::Mat probe_;                    // released once recorded
    std::vector<cv::Point> footprint_; // while recording
    std::vector<Recording> recording_; // footprint_ times channels_
    std::vector<Pixel> pixels_;        // in image order
    std::vector<Response> responses_;  // in the order of the pixels
};

} // namespace zorvexa
