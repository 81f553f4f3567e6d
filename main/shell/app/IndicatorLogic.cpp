#include "main/shell/app/IndicatorLogic.h"

#include <cstring>

namespace zorvexa {

bool hidesOverlay(const char* value) {
    return value == nullptr || std::strcmp(value, "true") == 0;
}

IndicatorStep stepIndicator(int& countdown, int& lastGesture, const IndicatorInputs& in) {
    using Visibility = IndicatorStep::Visibility;
    IndicatorStep step;
    if (in.entryHidesOverlay) {
        step.visibility = Visibility::Hide;
        return step;
    }
    if (in.direction != 0) {
        countdown = in.fps * 80 / 30;
        lastGesture = in.direction;
    } else if (countdown > 0) {
        --countdown;
    }
    step.arrowDirection = countdown > in.fps * 65 / 30 ? lastGesture : in.direction;
    if (!in.autoDisplay) {
        step.arrowDirection = 0;
        return step;
    }
    if (countdown <= 0) {
        if (countdown == 0) {
            step.visibility = Visibility::Hide;
            countdown = -1;
        }
        step.arrowDirection = 0;
        return step;
    }
    if (!in.callerSeesMainWindowActive)
        step.visibility = Visibility::Show;
    step.showFrame = true;
    return step;
}

} // namespace zorvexa
