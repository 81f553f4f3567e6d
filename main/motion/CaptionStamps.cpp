#include "main/motion/CaptionStamps.h"

namespace zorvexa {

void CaptionStamps::draw(const std::vector<std::string>& lines, int frameNumber, cv::Mat& image,
                         bool atBottom, double fontScale) {
    if (image.empty())
        return;
    const std::vector<CaptionText> texts =
        captionTexts(lines, frameNumber, image.size(), atBottom, fontScale);
    lines_.resize(texts.size());
    replayed_ = 0;
    for (size_t k = 0; k < texts.size(); ++k) {
        Line& line = lines_[k];
        if (line.text != texts[k] || (line.stamp && (line.stamp->size() != image.size() ||
                                                     line.stamp->type() != image.type()))) {
            line.text = texts[k];
            line.steady = 0;
            line.stamp.reset();
        }
        if (line.stamp && line.stamp->ready()) {
            line.stamp->apply(image);
            ++replayed_;
            continue;
        }
        putCaptionText(image, line.text);
        if (line.text.text.empty() || ++line.steady < steadyFrames_)
            continue;
        if (!line.stamp)
            line.stamp = std::make_unique<TextStamp>(line.text, image.size(), image.type());
        line.stamp->record(kLevelsPerFrame);
    }
}

} // namespace zorvexa
