#include "main/motion/StrokeCounter.h"

#include "main/shell/AppState.h"

namespace zorvexa {

void StrokeCounter::countStroke(AppState& state, int direction, int timestamp) {
    if (!started_) {
        started_ = true;
        lastStroke_ = timestamp;
    }
    // Timestamps that go backwards (a new loop starts counting at 1 again) are never
    // debounced. The difference is taken in 64 bits so extreme values cannot overflow.
    const long long since = static_cast<long long>(timestamp) - lastStroke_;
    if (since < kDebounceFrames && timestamp > lastStroke_)
        return;
    if (direction != 0)
        lastStroke_ = timestamp;
    const int index = strokeIndexOf(direction);
    if (index >= 0)
        state.strokeCounts[static_cast<size_t>(index)].fetch_add(1);
}

StrokeCounter& processStrokeCounter() {
    static StrokeCounter counter;
    return counter;
}

} // namespace zorvexa
