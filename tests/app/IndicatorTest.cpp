#include <clocale>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <opencv2/core.hpp>

#include "main/shell/AppState.h"
#include "main/shell/app/IndicatorLogic.h"
#include "main/shell/app/IndicatorUpdater.h"

namespace zorvexa {
namespace {

using Visibility = IndicatorStep::Visibility;

IndicatorInputs visibleInputs(int direction, int fps = 30) {
    IndicatorInputs in;
    in.direction = direction;
    in.fps = fps;
    in.entryHidesOverlay = false;
    return in;
}

TEST(IndicatorLogic, AGestureKeepsTheWindowUpFor80FramesWithTheArrowFor15) {
    int countdown = 0, last = 0;
    std::vector<IndicatorStep> steps;
    steps.push_back(stepIndicator(countdown, last, visibleInputs(kDirUp)));
    for (int k = 0; k < 85; ++k)
        steps.push_back(stepIndicator(countdown, last, visibleInputs(0)));

    int shown = 0, arrows = 0, hiddenAt = -1;
    for (size_t k = 0; k < steps.size(); ++k) {
        if (steps[k].visibility == Visibility::Show)
            ++shown;
        if (steps[k].arrowDirection == kDirUp)
            ++arrows;
        if (steps[k].visibility == Visibility::Hide && hiddenAt < 0)
            hiddenAt = static_cast<int>(k);
    }
    EXPECT_EQ(shown, 80);
    EXPECT_EQ(arrows, 15); // countdown 80 down to 66
    EXPECT_EQ(hiddenAt, 80);
    EXPECT_EQ(countdown, -1); // parked: hidden with nothing pending
    EXPECT_EQ(last, kDirUp);
    // Only one hide after the countdown ran out.
    EXPECT_EQ(steps[81].visibility, Visibility::Keep);
}

TEST(IndicatorLogic, ZeroFpsHidesOnTheGestureFrame) {
    int countdown = 0, last = 0;
    const IndicatorStep step = stepIndicator(countdown, last, visibleInputs(kDirDown, 0));
    EXPECT_EQ(step.visibility, Visibility::Hide);
    EXPECT_FALSE(step.showFrame);
    EXPECT_EQ(countdown, -1);
}

TEST(IndicatorLogic, EntryThatHidesTheOverlayWins) {
    int countdown = 0, last = 0;
    IndicatorInputs in = visibleInputs(kDirUp);
    in.entryHidesOverlay = true;
    const IndicatorStep step = stepIndicator(countdown, last, in);
    EXPECT_EQ(step.visibility, Visibility::Hide);
    EXPECT_FALSE(step.showFrame);
    EXPECT_EQ(countdown, 0); // nothing armed
    EXPECT_TRUE(hidesOverlay(nullptr));
    EXPECT_TRUE(hidesOverlay("true"));
    EXPECT_FALSE(hidesOverlay("TRUE"));
    EXPECT_FALSE(hidesOverlay("true "));
    EXPECT_FALSE(hidesOverlay(""));
}

TEST(IndicatorLogic, AutoDisplayOffFreezesTheWindowButKeepsCounting) {
    int countdown = 0, last = 0;
    IndicatorInputs in = visibleInputs(kDirUp);
    in.autoDisplay = false;
    IndicatorStep step = stepIndicator(countdown, last, in);
    EXPECT_EQ(step.visibility, Visibility::Keep);
    EXPECT_FALSE(step.showFrame);
    EXPECT_EQ(countdown, 80);
    in.direction = 0;
    for (int k = 0; k < 100; ++k)
        EXPECT_EQ(stepIndicator(countdown, last, in).visibility, Visibility::Keep);
    EXPECT_EQ(countdown, 0); // stops at 0, no hide while auto-display is off
}

TEST(IndicatorLogic, MainWindowActiveForTheCallerKeepsItHiddenButDrawsTheFrame) {
    int countdown = 0, last = 0;
    IndicatorInputs in = visibleInputs(kDirToCenter);
    in.callerSeesMainWindowActive = true;
    const IndicatorStep step = stepIndicator(countdown, last, in);
    EXPECT_EQ(step.visibility, Visibility::Keep);
    EXPECT_TRUE(step.showFrame);
    EXPECT_EQ(step.arrowDirection, kDirToCenter);
}

struct Calls {
    std::vector<bool> visibility;
    std::vector<cv::Mat> frames;
};

IndicatorHooks hooksFor(Calls& calls, std::optional<std::string> hide) {
    IndicatorHooks hooks;
    hooks.foregroundHideOverlay = [hide] { return hide; };
    hooks.hasAction = [](int) { return true; };
    hooks.setWindowVisible = [&calls](bool v) { calls.visibility.push_back(v); };
    hooks.showFrame = [&calls](const cv::Mat& m) { calls.frames.push_back(m.clone()); };
    return hooks;
}

// The frame loop hands the indicator a copy of each frame of its own.
void updateWith(IndicatorUpdater& updater, const cv::Mat& frame, int direction) {
    cv::Mat copy = frame.clone();
    updater.update(copy, direction);
}

TEST(IndicatorUpdater, ScalesSmallFramesAndDrawsOnlyWhileTracking) {
    AppState state;
    Calls calls;
    IndicatorUpdater updater(state, hooksFor(calls, std::string("false")));
    cv::Mat small(120, 160, CV_8UC3, cv::Scalar(10, 20, 30));
    const cv::Mat smallPixels = small; // the same buffer
    updater.update(small, kDirUp);
    ASSERT_EQ(calls.frames.size(), 1u);
    EXPECT_EQ(calls.frames[0].cols, 320);
    EXPECT_GT(cv::norm(calls.frames[0], cv::Mat(240, 320, CV_8UC3, cv::Scalar(10, 20, 30))), 0.0);
    EXPECT_EQ(calls.visibility, (std::vector<bool>{true}));
    EXPECT_EQ(cv::norm(smallPixels, cv::Mat(120, 160, CV_8UC3, cv::Scalar(10, 20, 30))), 0.0)
        << "a small frame is scaled into a new picture";

    const cv::Mat large(240, 320, CV_8UC3, cv::Scalar(50, 60, 70));
    state.tracking = false;
    updateWith(updater, large, 0);
    ASSERT_EQ(calls.frames.size(), 2u);
    EXPECT_EQ(cv::norm(calls.frames[1], large), 0.0) << "no arrow or captions without tracking";
    state.tracking = true;
    updateWith(updater, smallPixels, 0);
    EXPECT_EQ(calls.frames.back().cols, 320);
}

TEST(IndicatorUpdater, NoEntryHidesAndShowsNothing) {
    AppState state;
    Calls calls;
    IndicatorUpdater updater(state, hooksFor(calls, std::nullopt));
    updateWith(updater, cv::Mat(120, 160, CV_8UC3, cv::Scalar::all(0)), kDirUp);
    EXPECT_EQ(calls.visibility, (std::vector<bool>{false}));
    EXPECT_TRUE(calls.frames.empty());
}

TEST(IndicatorUpdater, IdleFramesSkipTheForegroundLookupUntilTheNextStroke) {
    AppState state;
    state.fps = 3; // the window stays up for 8 frames after a stroke
    Calls calls;
    int lookups = 0;
    IndicatorHooks hooks = hooksFor(calls, std::string("false"));
    hooks.foregroundHideOverlay = [&lookups]() -> std::optional<std::string> {
        ++lookups;
        return std::string("false");
    };
    IndicatorUpdater updater(state, std::move(hooks));
    const cv::Mat frame(240, 320, CV_8UC3, cv::Scalar::all(0));
    updateWith(updater, frame, kDirUp);
    for (int k = 0; k < 20; ++k)
        updateWith(updater, frame, 0);
    ASSERT_FALSE(calls.visibility.empty());
    EXPECT_EQ(calls.visibility.back(), false);
    EXPECT_EQ(lookups, 9) << "the stroke frame and the frames until the window hides";
    const size_t shown = calls.frames.size();
    updateWith(updater, frame, kDirDown);
    EXPECT_EQ(lookups, 10);
    EXPECT_EQ(calls.frames.size(), shown + 1);
    EXPECT_EQ(calls.visibility.back(), true);
}

// The calorie line is kept between frames: it must still follow the count.
TEST(IndicatorUpdater, CalorieLineFollowsTheCount) {
    AppState state;
    state.butterflyStroke = 0.5f;
    state.frameCounter = 100; // all three caption lines show
    Calls calls;
    IndicatorUpdater updater(state, hooksFor(calls, std::string("false")));
    const cv::Mat frame(240, 320, CV_8UC3, cv::Scalar::all(0));
    const cv::Rect calorieRow(0, 212, 320, 28);
    std::vector<cv::Mat> rows;
    for (int count : {1, 3, 1}) {
        state.strokeCounts[kStrokeDown] = count;
        updateWith(updater, frame, rows.empty() ? kDirUp : 0);
        ASSERT_FALSE(calls.frames.empty());
        rows.push_back(calls.frames.back()(calorieRow).clone());
    }
    EXPECT_GT(cv::norm(rows[0], rows[1], cv::NORM_INF), 0) << "0.5 against 1.5 calories";
    EXPECT_EQ(cv::norm(rows[0], rows[2], cv::NORM_INF), 0);
}

TEST(IndicatorUpdater, CalorieLine) {
    EXPECT_EQ(calorieLineText(1.5f), "1.5 calories burnt");
    EXPECT_EQ(calorieLineText(0.0f), "0.0 calories burnt");
    EXPECT_EQ(calorieLineText(123.46f), "123.5 calories burnt");
}

TEST(IndicatorUpdater, CalorieLineUsesAPointInAnyLocale) {
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    const std::string line = calorieLineText(1.5f);
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(line, "1.5 calories burnt");
}

} // namespace
} // namespace zorvexa
