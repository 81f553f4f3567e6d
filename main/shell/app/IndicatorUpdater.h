// The per-frame update of the translucent indicator window: decides with IndicatorLogic
// whether it shows, draws the gesture arrow, the mode's description and the calories onto
// the frame and hands the frame to the indicator's pane. Runs on the frame-loop thread;
// everything that touches a window goes through the hooks, which marshal as needed.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include <opencv2/core.hpp>

#include "main/motion/CaptionStamps.h"

namespace zorvexa {

struct AppState;

struct IndicatorHooks {
    // hideOverlayWindow of the foreground window's application entry (falling back to
    // "default"); nullopt when there is no entry at all.
    std::function<std::optional<std::string>()> foregroundHideOverlay;
    // Whether the active mode binds an action to a direction (red or yellow arrow).
    std::function<bool(int direction)> hasAction;
    std::function<void(bool visible)> setWindowVisible;
    // True when the thread running the frame loop sees the main window as its active
    // window (never for live capture).
    std::function<bool()> callerSeesMainWindowActive;
    std::function<void(const cv::Mat& image)> showFrame;
};

class IndicatorUpdater {
  public:
    IndicatorUpdater(AppState& state, IndicatorHooks hooks);

    // One frame: `frame` is the picture before any drawing, the caller's own copy, which
    // is drawn into (a 160-column one is first scaled into a new picture); `direction` is
    // the interpreter's latest decision (0 for none).
    void update(cv::Mat& frame, int direction);

    int lastIndicatorGesture() const { return lastIndicatorGesture_; }

  private:
    AppState& state_;
    IndicatorHooks hooks_;
    int lastIndicatorGesture_ = 0;
    std::string calorieText_; // calorieLineText(calorieTextFor_)
    float calorieTextFor_ = 0;
    CaptionStamps captions_{200}; // the mode caption stays; the calorie line changes by strokes
};

// The indicator picture: a 160-column frame is scaled to 320 x 240; then the arrow (when
// `arrowDirection` is not 0) and, at the bottom, an empty line, the mode caption and the
// calorie line (when `calorieLine` is not empty). With `stamps`, lines that stay the same
// are replayed from their records.
void drawIndicatorFrame(cv::Mat& frame, int arrowDirection, bool hasAction,
                        const std::string& modeCaption, const std::string& calorieLine,
                        int frameNumber, CaptionStamps* stamps = nullptr);

// "%3.1f calories burnt"
std::string calorieLineText(float calories);

} // namespace zorvexa
