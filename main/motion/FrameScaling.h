// Bringing frames of any size to the sizes the pipeline works with.
#pragma once

#include <opencv2/core.hpp>

namespace zorvexa {

// Writes into `out` a 160 x 120 three-channel copy of `frame`: unchanged when it already
// is one, otherwise scaled bilinearly (grey frames are expanded to three channels).
// Returns false for an empty frame. `out` is reused, so a caller that keeps it between
// frames allocates nothing.
bool toProcessingFrame(const cv::Mat& frame, cv::Mat& out);

// The display-size copy: 320 x 240 three-channel, as toProcessingFrame does.
bool toDisplayFrame(const cv::Mat& frame, cv::Mat& out);

// cv::resize(frame, out, size, 0, 0, cv::INTER_LINEAR), pixel for pixel. Halving an 8-bit
// three-channel frame, as from the display to the processing size, is a rounded mean of
// each 2 x 2 block; that is done here in one pass of 16-byte shuffles where the processor
// has them, about a third of OpenCV's cost on a frame every 33 ms.
void resizeBilinear(const cv::Mat& frame, cv::Mat& out, cv::Size size);

// cv::flip(frame, frame, 1), in place: the columns in reverse order. An 8-bit three-channel
// frame is done 16 pixels at a time from both ends of each row, with shuffles where the
// processor has them; OpenCV moves such pixels a byte at a time, several times slower.
void mirrorColumns(cv::Mat& frame);

} // namespace zorvexa
