// When the translucent indicator window shows, hides, and which arrow it carries: a
// recognised gesture keeps it up for about 2.7 seconds of frames, with the gesture's arrow
// during the first half second. Pure logic, one call per processed frame.
#pragma once

namespace zorvexa {

struct IndicatorInputs {
    int direction = 0;             // this frame's gesture, 0 for none
    int fps = 30;                  // frames per second measured last
    bool entryHidesOverlay = true; // no application entry, or its hideOverlayWindow is "true"
    bool autoDisplay = true;       // the "Auto Show/HIde Video Overlay Window" option
    bool callerSeesMainWindowActive = false;
};

struct IndicatorStep {
    enum class Visibility { Keep, Show, Hide };
    Visibility visibility = Visibility::Keep;
    int arrowDirection = 0; // arrow to draw, 0 for none
    bool showFrame = false; // the frame is drawn on and shown in the indicator's pane
};

// Advances the countdown (frames left until the window hides; 0 hides on this frame, -1
// means hidden with nothing pending) and the last gesture, and decides the frame's step.
IndicatorStep stepIndicator(int& countdown, int& lastGesture, const IndicatorInputs& in);

// Whether an application entry's hideOverlayWindow value keeps the indicator hidden: only
// the exact text "true" does.
bool hidesOverlay(const char* hideOverlayWindowValue);

} // namespace zorvexa
