// The one record of switches, counters, settings and window handles that the main
// program's threads share. It has no behaviour of its own.
//
// Threading: every switch and counter that one thread writes and another polls is a
// std::atomic, so the frame loop, the guide thread and the window thread never need a
// lock. Fields that only one thread touches (the dispatcher's bookkeeping, the mode
// caption, the indicator countdown) stay plain.
#pragma once

#include <array>
#include <atomic>
#include <string>

#include "main/motion/MotionDir.h"

namespace zorvexa {

// Positions of the nine stroke counters inside AppState::strokeCounts.
enum StrokeIndex : int {
    kStrokeUp = 0,
    kStrokeUpLeft,
    kStrokeUpRight,
    kStrokeDown,
    kStrokeDownLeft,
    kStrokeDownRight,
    kStrokeToCenter,
    kStrokeLeftToRight,
    kStrokeRightToLeft,
    kStrokeKinds
};

// Counter slot for a gesture direction, or -1 for a direction that has none.
constexpr int strokeIndexOf(int direction) {
    switch (direction) {
    case kDirUp:
        return kStrokeUp;
    case kDirUpRight:
        return kStrokeUpRight;
    case kDirUpLeft:
        return kStrokeUpLeft;
    case kDirDown:
        return kStrokeDown;
    case kDirDownRight:
        return kStrokeDownRight;
    case kDirDownLeft:
        return kStrokeDownLeft;
    case kDirRightToLeft:
        return kStrokeRightToLeft;
    case kDirLeftToRight:
        return kStrokeLeftToRight;
    case kDirToCenter:
        return kStrokeToCenter;
    default:
        return -1;
    }
}

// Opaque handle of a shell window; only the shell knows what it points to.
using WindowHandle = void*;

struct AppState {
    // Calories per counted stroke, read from the INI file at start-up.
    float butterflyStroke = 0.0f;
    float backStroke = 0.0f;
    float leftToRight = 0.0f;
    float rightToLeft = 0.0f;
    float downLeft = 0.0f;
    float downRight = 0.0f;
    float punchUpLeft = 0.0f;
    float punchUpRight = 0.0f;
    float toCenter = 0.0f;

    // Counted strokes, indexed by StrokeIndex.
    std::array<std::atomic<int>, kStrokeKinds> strokeCounts{};

    std::atomic<bool> capturing{false};
    std::atomic<bool> tracking{true};
    std::atomic<bool> mouseMode{false};
    std::atomic<bool> recording{false};
    std::atomic<bool> autoDisplayTransparentIndicator{true};
    std::atomic<bool> playingBack{false};
    std::atomic<bool> guidePlaying{false};
    std::atomic<bool> mirrorImage{false};
    std::atomic<bool> useBeginnerSettings{true};
    // The frame loops use the robust recognizer instead of the classic one; read once a
    // frame, so it may be switched while the webcam runs.
    std::atomic<bool> robustRecognition{false};

    float accelerationFactor = 1.0f;

    std::atomic<WindowHandle> mainWindow{nullptr};
    std::atomic<WindowHandle> indicatorWindow{nullptr};
    std::atomic<WindowHandle> statusBar{nullptr};

    // File played when playback is asked for without a path (at most 511 characters).
    std::string videoPath = "recording.avi";

    std::atomic<int> frameCounter{0};
    std::atomic<int> fps{30};
    int debounceFrames = 0;
    const int frameWidth = 160;
    const int frameHeight = 120;

    std::string modeCaption;
    int indicatorCountdown = 0;
    std::atomic<bool> showCalorieCounter{true};
    std::atomic<bool> reloadConfigRequested{false};

    int lastActionType = 0;
    int accelerationDirection = 0;
    int lastActionFrame = 0;

    AppState() {
        for (auto& c : strokeCounts)
            c.store(0);
    }
    AppState(const AppState&) = delete;
    AppState& operator=(const AppState&) = delete;

    int strokeCount(int index) const { return strokeCounts[static_cast<size_t>(index)].load(); }
};

} // namespace zorvexa
