// Title cards: a few lines of text that type themselves onto a calm coloured ground,
// with an optional small picture (the exercising figure, or a camera that is missing).
#pragma once

#include <string>
#include <vector>

#include <opencv2/core.hpp>

namespace zorvexa::render {

enum class CardPicture {
    None,
    Exercising,    // a small figure swinging its arms up and down
    CameraMissing, // a webcam crossed out
};

struct TitleCard {
    std::vector<std::string> lines; // the first line is the title, the others smaller
    CardPicture picture = CardPicture::None;
    cv::Scalar ground{92, 56, 28}; // BGR, a deep blue
    cv::Scalar accent{60, 200, 255};
};

// Frame `index` of a card animation `frames` long.
cv::Mat drawTitleCard(const TitleCard& card, cv::Size size, int index, int frames);

} // namespace zorvexa::render
