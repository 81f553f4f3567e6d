#include "main/control/ConfigModel.h"

#include <cstring>

#include "main/motion/MotionDir.h"

namespace zorvexa {

namespace {
// Event names in slot order. Slots 6 and 7 hold the horizontal strokes in the opposite
// order to their direction codes.
const char* const kEventNames[kEventSlots] = {
    "UP_MOTION",          "UPRIGHT_MOTION",     "UPLEFT_MOTION",
    "DOWN_MOTION",        "DOWNRIGHT_MOTION",   "DOWNLEFT_MOTION",
    "LEFTTORIGHT_MOTION", "RIGHTTOLEFT_MOTION", "TOCENTER_MOTION"};
} // namespace

int slotOfEventName(const std::string& name) {
    for (int i = 0; i < kEventSlots; ++i)
        if (name == kEventNames[i])
            return i;
    return -1;
}

int slotOfDirection(int direction) {
    switch (direction) {
    case kDirUp:
        return 0;
    case kDirUpRight:
        return 1;
    case kDirUpLeft:
        return 2;
    case kDirDown:
        return 3;
    case kDirDownRight:
        return 4;
    case kDirDownLeft:
        return 5;
    case kDirLeftToRight:
        return 6;
    case kDirRightToLeft:
        return 7;
    case kDirToCenter:
        return 8;
    default:
        return -1;
    }
}

} // namespace zorvexa
