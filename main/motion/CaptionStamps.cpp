#include "main/motion/CaptionStamps.h"

#include <cmath>

#include <opencv2/imgproc.hpp>

namespace zorvexa {

namespace {

// The line as its first word and the rest, from the space after that word on, drawn from
// where the word ends; the line alone when it has no such space.
std::vector<CaptionText> atFirstWord(const CaptionText& line) {
    const size_t word = line.text.find_first_not_of(' ');
    const size_t space = word == std::string::npos ? word : line.text.find(' ', word);
    if (space == std::string::npos)
        return {line};
    CaptionText head = line, rest = line;
    head.text = line.text.substr(0, space);
    rest.text = line.text.substr(space);
    int baseline = 0;
    // The width getTextSize reports is the pen's travel plus the line thickness (1).
    rest.origin.x += cv::getTextSize(head.text, line.face, line.scale, 1, &baseline).width - 1;
    return {head, rest};
}

// Whether drawing the pieces one after the other is the line's own drawing, tried on a
// band of plain colour as wide as the picture.
bool drawsAsTheLine(const CaptionText& line, const std::vector<CaptionText>& pieces, int width) {
    const int top = line.origin.y - 30;
    cv::Mat whole(48, width, CV_8UC3, cv::Scalar(90, 120, 150));
    cv::Mat inPieces = whole.clone();
    CaptionText moved = line;
    moved.origin.y -= top;
    putCaptionText(whole, moved);
    for (CaptionText piece : pieces) {
        piece.origin.y -= top;
        putCaptionText(inPieces, piece);
    }
    return cv::norm(whole, inPieces, cv::NORM_INF) == 0;
}

} // namespace

const std::vector<CaptionText>& CaptionStamps::piecesOf(size_t k, const CaptionText& line,
                                                        int width) {
    Split& split = splits_[k];
    if (split.pieces.empty() || split.line != line) {
        split.line = line;
        split.pieces = {line};
        if (line.scale >= 1 && line.scale == std::floor(line.scale)) {
            std::vector<CaptionText> pieces = atFirstWord(line);
            if (pieces.size() > 1 && drawsAsTheLine(line, pieces, width))
                split.pieces = std::move(pieces);
        }
    }
    return split.pieces;
}

void CaptionStamps::draw(const std::vector<std::string>& lines, int frameNumber, cv::Mat& image,
                         bool atBottom, double fontScale) {
    if (image.empty())
        return;
    const std::vector<CaptionText> texts =
        captionTexts(lines, frameNumber, image.size(), atBottom, fontScale);
    splits_.resize(texts.size());
    replayed_ = 0;
    size_t k = 0; // the piece's place among all the lines' pieces
    for (size_t line = 0; line < texts.size(); ++line)
        for (const CaptionText& text : piecesOf(line, texts[line], image.cols))
            drawPiece(k++, text, image);
    pieces_.resize(k);
}

void CaptionStamps::drawPiece(size_t k, const CaptionText& text, cv::Mat& image) {
    if (k >= pieces_.size())
        pieces_.resize(k + 1);
    Piece& piece = pieces_[k];
    if (piece.text != text || (piece.stamp && (piece.stamp->size() != image.size() ||
                                               piece.stamp->type() != image.type()))) {
        piece.text = text;
        piece.steady = 0;
        piece.stamp.reset();
    }
    if (piece.stamp && piece.stamp->ready()) {
        piece.stamp->apply(image);
        ++replayed_;
        return;
    }
    putCaptionText(image, piece.text);
    if (piece.text.text.empty() || ++piece.steady < steadyFrames_)
        return;
    if (!piece.stamp)
        piece.stamp = std::make_unique<TextStamp>(piece.text, image.size(), image.type());
    piece.stamp->record(kLevelsPerFrame);
}

} // namespace zorvexa
