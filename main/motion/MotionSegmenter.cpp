#include "main/motion/MotionSegmenter.h"

#include <algorithm>
#include <stdexcept>

namespace zorvexa {

void MotionSegmenter::segment(const cv::Mat& history, double timestamp, double threshold,
                              std::vector<cv::Rect>& rects) {
    if (history.type() != CV_32FC1)
        throw std::invalid_argument("motion segments: needs a one-channel float history");
    rects.clear();
    // The extractor's history is one block; a view into a larger image is copied first.
    const cv::Mat block = history.isContinuous() ? history : history.clone();
    const float* const values = block.ptr<float>();
    const int cols = block.cols, rows = block.rows;
    taken_.assign(static_cast<size_t>(cols) * static_cast<size_t>(rows), 0);
    const float now = static_cast<float>(timestamp);
    const float limit = static_cast<float>(threshold);
    // A neighbour joins when its value lies within the threshold of the pixel it is
    // reached from, computed in float as the flood fill does.
    const auto joins = [&](float from, float to) {
        const float d = to - from;
        return -limit <= d && d <= limit;
    };

    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < cols; ++x) {
            const int seed = y * cols + x;
            if (values[seed] != now || taken_[static_cast<size_t>(seed)])
                continue;
            int left = x, right = x, top = y, bottom = y;
            taken_[static_cast<size_t>(seed)] = 1;
            pending_.assign(1, seed);
            while (!pending_.empty()) {
                const int p = pending_.back();
                pending_.pop_back();
                const int px = p % cols, py = p / cols;
                left = std::min(left, px);
                right = std::max(right, px);
                top = std::min(top, py);
                bottom = std::max(bottom, py);
                const float value = values[p];
                const auto visit = [&](int q) {
                    std::uint8_t& taken = taken_[static_cast<size_t>(q)];
                    const float v = values[q];
                    if (taken || v == 0 || !joins(value, v))
                        return;
                    taken = 1;
                    pending_.push_back(q);
                };
                if (px > 0)
                    visit(p - 1);
                if (px + 1 < cols)
                    visit(p + 1);
                if (py > 0)
                    visit(p - cols);
                if (py + 1 < rows)
                    visit(p + cols);
            }
            rects.emplace_back(left, top, right - left + 1, bottom - top + 1);
        }
    }
}

} // namespace zorvexa
