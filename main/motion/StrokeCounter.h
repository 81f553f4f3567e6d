// Counts exercise strokes for the calorie counter, ignoring a stroke that follows the
// previous one within 20 frames.
#pragma once

namespace zorvexa {

struct AppState;

class StrokeCounter {
  public:
    static constexpr int kDebounceFrames = 20;

    // Adds the stroke of `direction` to the state's counters unless it is debounced.
    // Direction 0 is never counted but still takes part in the debounce bookkeeping.
    void countStroke(AppState& state, int direction, int timestamp);

  private:
    bool started_ = false;
    int lastStroke_ = 0;
};

// The single last-stroke timestamp that every frame loop of the process shares.
StrokeCounter& processStrokeCounter();

} // namespace zorvexa
