#include "main/shell/app/IndicatorUpdater.h"

#include <vector>

#include <opencv2/imgproc.hpp>

#include "main/motion/Annotation.h"
#include "main/shell/AppState.h"
#include "main/shell/CLocaleText.h"
#include "main/shell/Calories.h"
#include "main/shell/app/IndicatorLogic.h"

namespace zorvexa {

IndicatorUpdater::IndicatorUpdater(AppState& state, IndicatorHooks hooks)
    : state_(state), hooks_(std::move(hooks)) {}

std::string calorieLineText(float calories) {
    // A point, whatever the user's locale, as in the status bar.
    return formatC("%3.1f calories burnt", static_cast<double>(calories));
}

void drawIndicatorFrame(cv::Mat& frame, int arrowDirection, bool hasAction,
                        const std::string& modeCaption, const std::string& calorieLine,
                        int frameNumber, CaptionStamps* stamps) {
    if (frame.cols == 160)
        cv::resize(frame, frame, cv::Size(320, 240), 0, 0, cv::INTER_LINEAR);
    std::vector<std::string> lines{"", modeCaption};
    if (arrowDirection != 0)
        drawGestureArrow(frame, static_cast<MotionDir>(arrowDirection), hasAction);
    if (!calorieLine.empty())
        lines.push_back(calorieLine);
    if (stamps)
        stamps->draw(lines, frameNumber, frame, true, 1.0);
    else
        drawCaptions(lines, frameNumber, frame, true, false, 1.0);
}

void IndicatorUpdater::update(cv::Mat& frame, int direction) {
    // Idle (the window was hidden when its countdown ran out and no stroke came since):
    // nothing can change, so the foreground lookup, a round trip to the display server on
    // every frame, is left out.
    if (direction == 0 && state_.indicatorCountdown < 0)
        return;
    std::optional<std::string> hide;
    if (hooks_.foregroundHideOverlay)
        hide = hooks_.foregroundHideOverlay();

    IndicatorInputs in;
    in.direction = direction;
    in.fps = state_.fps.load();
    in.entryHidesOverlay = hidesOverlay(hide ? hide->c_str() : nullptr);
    in.autoDisplay = state_.autoDisplayTransparentIndicator.load();
    in.callerSeesMainWindowActive =
        hooks_.callerSeesMainWindowActive && hooks_.callerSeesMainWindowActive();

    const IndicatorStep step = stepIndicator(state_.indicatorCountdown, lastIndicatorGesture_, in);
    if (step.visibility != IndicatorStep::Visibility::Keep && hooks_.setWindowVisible)
        hooks_.setWindowVisible(step.visibility == IndicatorStep::Visibility::Show);
    if (!step.showFrame || frame.empty())
        return;
    if (state_.tracking) {
        const bool bound =
            step.arrowDirection != 0 && hooks_.hasAction && hooks_.hasAction(step.arrowDirection);
        if (state_.showCalorieCounter) {
            // Formatted again only when the count changes: a locale switch and a print a frame
            // otherwise.
            const float calories = totalCalories(state_);
            if (calorieText_.empty() || calories != calorieTextFor_) {
                calorieText_ = calorieLineText(calories);
                calorieTextFor_ = calories;
            }
        }
        drawIndicatorFrame(frame, step.arrowDirection, bound, state_.modeCaption,
                           state_.showCalorieCounter ? calorieText_ : std::string(),
                           state_.frameCounter.load(), &captions_);
    }
    if (hooks_.showFrame)
        hooks_.showFrame(frame);
}

} // namespace zorvexa
