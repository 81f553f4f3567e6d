#include "main/motion/TextStamp.h"

#include <cstring>
#include <utility>

#include <opencv2/imgproc.hpp>

namespace zorvexa {

// A response's rise bits are read eight bytes at a time as one little-endian word.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "rise bits are read as little-endian");

bool TextStamp::Response::operator==(const Response& o) const {
    return std::memcmp(at64, o.at64, sizeof at64) == 0 &&
           std::memcmp(rise, o.rise, sizeof rise) == 0;
}

bool TextStamp::Response::isIdentity() const {
    static const Response identity = [] {
        Response r;
        for (int w = 0; w < 4; ++w)
            r.at64[w] = static_cast<std::uint8_t>(64 * w);
        std::memset(r.rise, 0xff, sizeof r.rise);
        r.rise[31] = 0x7f; // 255 levels, 255 rises: no bit for a level 256
        return r;
    }();
    return *this == identity;
}

TextStamp::TextStamp(CaptionText text, cv::Size size, int type)
    : text_(std::move(text)), size_(size), type_(type) {}

void TextStamp::start() {
    channels_ = CV_MAT_CN(type_);
    if (CV_MAT_DEPTH(type_) != CV_8U || channels_ > 4 || size_.empty() || size_.height > 65535 ||
        size_.width * channels_ > 65535) {
        failed_ = true;
        return;
    }
    cv::Mat footprint(size_, CV_8UC1, cv::Scalar(0));
    markCaptionText(footprint, text_);
    box_ = cv::boundingRect(footprint);
    for (int y = box_.y; y < box_.y + box_.height; ++y) {
        const uchar* row = footprint.ptr<uchar>(y);
        for (int x = box_.x; x < box_.x + box_.width; ++x)
            if (row[x] != 0)
                footprint_.emplace_back(x, y);
    }
    recording_.assign(footprint_.size() * static_cast<size_t>(channels_), Recording{});
    if (!box_.empty())
        probe_.create(size_, type_);
    level_ = 0;
}

bool TextStamp::record(int levels) {
    if (level_ < 0 && !failed_)
        start();
    if (failed_)
        return false;
    for (int k = 0; k < levels && level_ < kLevels && !box_.empty(); ++k, ++level_) {
        probe_(box_).setTo(cv::Scalar::all(level_));
        putCaptionText(probe_, text_);
        Recording* r = recording_.data();
        for (const cv::Point& p : footprint_) {
            const std::uint8_t* pixel = probe_.ptr<std::uint8_t>(p.y) + p.x * channels_;
            for (int c = 0; c < channels_; ++c, ++r) {
                const std::uint8_t v = pixel[c];
                if (level_ % 64 == 0)
                    r->response.at64[level_ / 64] = v;
                if (level_ > 0) {
                    const int rise = v - r->last;
                    if (rise == 1) {
                        const int j = level_ - 1;
                        r->response.rise[j / 8] |= static_cast<std::uint8_t>(1u << (j % 8));
                    } else if (rise != 0) {
                        // Not a function of the channel value that this record can hold.
                        failed_ = true;
                        footprint_ = {};
                        recording_ = {};
                        probe_.release();
                        return false;
                    }
                }
                r->last = v;
            }
        }
    }
    if (box_.empty())
        level_ = kLevels;
    if (level_ == kLevels && !probe_.empty())
        finish();
    return ready();
}

void TextStamp::finish() {
    const Recording* r = recording_.data();
    for (const cv::Point& p : footprint_) {
        Pixel pixel;
        pixel.row = static_cast<std::uint16_t>(p.y);
        pixel.byte = static_cast<std::uint16_t>(p.x * channels_);
        const size_t first = responses_.size();
        for (int c = 0; c < channels_; ++c, ++r) {
            if (r->response.isIdentity()) // values the text leaves as they are need no replaying
                continue;
            std::uint8_t k = 0;
            while (k < pixel.count && !(responses_[first + k] == r->response))
                ++k;
            if (k == pixel.count) {
                responses_.push_back(r->response);
                ++pixel.count;
            }
            pixel.use[c] = k;
        }
        if (pixel.count > 0)
            pixels_.push_back(pixel);
    }
    pixels_.shrink_to_fit();
    responses_.shrink_to_fit();
    probe_.release();
    footprint_ = {};
    recording_ = {};
}

namespace {

// The replay loop, inlined into a plain and into a POPCNT version (most x86-64 processors
// have the instruction, the baseline does not).
template <typename Pixel, typename Response>
inline __attribute__((always_inline)) void
replay(const std::vector<Pixel>& pixels, const Response* response, int channels, cv::Mat& image) {
    for (const Pixel& p : pixels) {
        std::uint8_t* pixel = image.ptr<std::uint8_t>(p.row) + p.byte;
        for (int c = 0; c < channels; ++c) {
            if (p.use[c] == 0xff)
                continue;
            const Response& r = response[p.use[c]];
            const int value = pixel[c];
            const int w = value >> 6;
            std::uint64_t rise;
            std::memcpy(&rise, r.rise + 8 * w, sizeof rise);
            const std::uint64_t below = (std::uint64_t{1} << (value & 63)) - 1;
            pixel[c] = static_cast<std::uint8_t>(r.at64[w] + __builtin_popcountll(rise & below));
        }
        response += p.count;
    }
}

template <typename Pixel, typename Response>
void replayPlain(const std::vector<Pixel>& pixels, const Response* response, int channels,
                 cv::Mat& image) {
    replay(pixels, response, channels, image);
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
template <typename Pixel, typename Response>
__attribute__((target("popcnt"))) void replayPopcnt(const std::vector<Pixel>& pixels,
                                                    const Response* response, int channels,
                                                    cv::Mat& image) {
    replay(pixels, response, channels, image);
}
#endif

} // namespace

void TextStamp::apply(cv::Mat& image) const {
    if (image.empty())
        return;
    if (!ready() || image.size() != size_ || image.type() != type_) {
        putCaptionText(image, text_);
        return;
    }
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    static const bool popcnt = __builtin_cpu_supports("popcnt");
    if (popcnt) {
        replayPopcnt(pixels_, responses_.data(), channels_, image);
        return;
    }
#endif
    replayPlain(pixels_, responses_.data(), channels_, image);
}

} // namespace zorvexa
