// The exercise strokes as pose animations. Each function appends one stroke to a
// timeline, starting from the pose the previous stroke ended in, and reports the frames
// in which the stroke's decisive movement happens.
//
// The timings are those of a brisk stroke filmed at 30 frames per second: preparation
// (lifting an arm, opening the arms) is slow, the stroke itself takes a fifth to a third
// of a second, and the body settles afterwards. The motion analysis reads the stroke
// from that quick part; its direction comes from the edges that move across the picture,
// so the body dips or rises a little with each stroke, as it does when a person really
// swings their arms.
#pragma once

#include "tools/render/Timeline.h"

namespace zorvexa::render {

enum class Stroke {
    Up,        // both arms swung from the sides to overhead ("double back stroke")
    Down,      // both arms pulled from overhead down to the sides ("butterfly stroke")
    DownLeft,  // one arm, lifted out on the image's left side, pulled down
    DownRight, // the same on the image's right side
    Clap,      // arms opened wide, then brought together for a clap in front of the face
};

const char* strokeName(Stroke s);

// Frames (of the timeline) between which a stroke's decisive movement runs.
struct StrokeSpan {
    int first = 0; // frame at which the quick movement starts
    int last = 0;  // frame at which the body has settled again
};

// How long the slow parts of a stroke take. Guide clips are played at about ten frames
// a second and so keep the preparation short; a filmed session at thirty frames a
// second moves at a person's natural pace.
enum class Pace { Filmed, Guide };

// Appends `stroke`. Up ends with the arms held overhead and Down starts there (when the
// arms are not overhead it first lifts them, slowly); every other stroke starts and
// ends at rest.
StrokeSpan appendStroke(Timeline& t, Stroke stroke, Pace pace = Pace::Filmed);

} // namespace zorvexa::render
