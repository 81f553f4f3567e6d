#include "main/motion/TextStamp.h"

#include <utility>

#include <opencv2/imgproc.hpp>

namespace zorvexa {

TextStamp::TextStamp(CaptionText text, cv::Size size, int type)
    : text_(std::move(text)), size_(size), type_(type) {}

void TextStamp::start() {
    const int channels = CV_MAT_CN(type_);
    if (CV_MAT_DEPTH(type_) != CV_8U || channels > 4 || size_.empty() || size_.height > 65535 ||
        size_.width * channels > 65535) {
        failed_ = true;
        return;
    }
    // The pixels the text touches: drawn at full strength on black, each moves by a step.
    cv::Mat footprint(size_, CV_8UC1, cv::Scalar(0));
    CaptionText marking = text_;
    marking.colour = cv::Scalar::all(255);
    putCaptionText(footprint, marking);
    box_ = cv::boundingRect(footprint);
    for (int y = box_.y; y < box_.y + box_.height; ++y) {
        const uchar* row = footprint.ptr<uchar>(y);
        for (int x = box_.x; x < box_.x + box_.width; ++x)
            if (row[x] != 0)
                for (int c = 0; c < channels; ++c) {
                    Entry e;
                    e.row = static_cast<std::uint16_t>(y);
                    e.byte = static_cast<std::uint16_t>(x * channels + c);
                    entries_.push_back(e);
                }
    }
    last_.assign(entries_.size(), 0);
    changes_.assign(entries_.size(), false);
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
        for (size_t i = 0; i < entries_.size(); ++i) {
            Entry& e = entries_[i];
            const std::uint8_t v = probe_.ptr<std::uint8_t>(e.row)[e.byte];
            if (v != level_)
                changes_[i] = true;
            if (level_ % 64 == 0)
                e.at64[level_ / 64] = v;
            if (level_ > 0) {
                const int rise = v - last_[i];
                if (rise == 1) {
                    const int j = level_ - 1;
                    e.rise[j / 64] |= std::uint64_t{1} << (j % 64);
                } else if (rise != 0) {
                    // Not a function of the channel value that this record can hold.
                    failed_ = true;
                    entries_ = {};
                    probe_.release();
                    return false;
                }
            }
            last_[i] = v;
        }
    }
    if (box_.empty())
        level_ = kLevels;
    if (level_ == kLevels && !probe_.empty()) {
        // Values the text leaves as they are need no replaying.
        size_t kept = 0;
        for (size_t i = 0; i < entries_.size(); ++i)
            if (changes_[i])
                entries_[kept++] = entries_[i];
        entries_.resize(kept);
        entries_.shrink_to_fit();
        probe_.release();
        last_ = {};
        changes_ = {};
    }
    return ready();
}

namespace {

// The replay loop, inlined into a plain and into a POPCNT version (most x86-64 processors
// have the instruction, the baseline does not).
template <typename Entry>
inline __attribute__((always_inline)) void replay(const std::vector<Entry>& entries,
                                                  cv::Mat& image) {
    for (const Entry& e : entries) {
        std::uint8_t& value = image.ptr<std::uint8_t>(e.row)[e.byte];
        const int w = value >> 6;
        const std::uint64_t below = (std::uint64_t{1} << (value & 63)) - 1;
        value = static_cast<std::uint8_t>(e.at64[w] + __builtin_popcountll(e.rise[w] & below));
    }
}

template <typename Entry> void replayPlain(const std::vector<Entry>& entries, cv::Mat& image) {
    replay(entries, image);
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
template <typename Entry>
__attribute__((target("popcnt"))) void replayPopcnt(const std::vector<Entry>& entries,
                                                    cv::Mat& image) {
    replay(entries, image);
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
        replayPopcnt(entries_, image);
        return;
    }
#endif
    replayPlain(entries_, image);
}

} // namespace zorvexa
