#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <opencv2/bgsegm.hpp>
#include <opencv2/imgproc.hpp>

#include "main/motion/MixtureBackground.h"

using namespace zorvexa;

namespace {

// Frames that drive every branch of the model: a textured still ground with a figure
// moving over it and a little sensor noise (matches in the first slots, moves up the
// order), light that jumps (no match anywhere: new mixtures), and stretches of pure noise
// (every slot filled, the last one replaced).
std::vector<cv::Mat> demandingSequence(const cv::Size& size, int seed) {
    cv::RNG rng(static_cast<uint64_t>(seed));
    cv::Mat ground(size, CV_8UC3);
    rng.fill(ground, cv::RNG::UNIFORM, 20, 200);
    std::vector<cv::Mat> frames;
    for (int i = 0; i < 260; ++i) {
        cv::Mat f(size, CV_8UC3);
        const int phase = i % 130;
        if (phase >= 100 && phase < 112) {
            rng.fill(f, cv::RNG::UNIFORM, 0, 256);
        } else {
            cv::Mat noise(size, CV_8UC3);
            rng.fill(noise, cv::RNG::NORMAL, 0, 4);
            cv::Mat base = ground.clone();
            if (phase >= 60 && phase < 75)
                base += cv::Scalar(70, 50, 90); // the light jumps, then comes back
            cv::add(base, noise, f, cv::noArray(), CV_8UC3);
            const int x = (i * 5) % size.width, y = size.height / 3 + (i % 17);
            cv::rectangle(f, cv::Rect(x, y, size.width / 5, size.height / 3),
                          cv::Scalar(230, 200, 180), cv::FILLED);
        }
        frames.push_back(f);
    }
    return frames;
}

// The masks of both models, frame by frame; a message names the first frame that differs.
std::string firstDifference(MixtureBackground& ours, cv::Ptr<cv::BackgroundSubtractor> theirs,
                            const std::vector<cv::Mat>& frames, double rate) {
    cv::Mat a, b;
    for (size_t i = 0; i < frames.size(); ++i) {
        ours.apply(frames[i], a, rate);
        theirs->apply(frames[i], b, rate);
        const int differing = cv::countNonZero(a != b);
        if (differing != 0)
            return "frame " + std::to_string(i) + ": " + std::to_string(differing) + " pixels";
    }
    return "";
}

cv::Ptr<cv::BackgroundSubtractor> openCvModel() {
    return cv::bgsegm::createBackgroundSubtractorMOG(2, 20, 0.3, 0);
}

} // namespace

TEST(MixtureBackground, MasksEqualOpenCvsModelFrameByFrame) {
    MixtureBackground ours;
    EXPECT_EQ(firstDifference(ours, openCvModel(), demandingSequence({160, 120}, 1), 0.1), "");

    // Another seed and rate; a reset starts again like a fresh model; another frame size
    // starts again too.
    MixtureBackground other;
    EXPECT_EQ(firstDifference(other, openCvModel(), demandingSequence({160, 120}, 2), 0.25), "");
    other.reset();
    EXPECT_EQ(firstDifference(other, openCvModel(), demandingSequence({160, 120}, 3), 0.1), "");
    EXPECT_EQ(firstDifference(other, openCvModel(), demandingSequence({64, 48}, 4), -1), "");

    // Rows that do not split into fours end in pixels updated one at a time.
    MixtureBackground odd;
    EXPECT_EQ(firstDifference(odd, openCvModel(), demandingSequence({63, 37}, 5), 0.1), "");
}

TEST(MixtureBackground, RejectsWhatItCannotLearnFrom) {
    MixtureBackground model;
    cv::Mat mask;
    EXPECT_THROW(model.apply(cv::Mat(120, 160, CV_8UC1, cv::Scalar(0)), mask, 0.1),
                 std::invalid_argument);
    EXPECT_THROW(model.apply(cv::Mat(120, 160, CV_8UC3, cv::Scalar(0)), mask, 0),
                 std::invalid_argument);
}
