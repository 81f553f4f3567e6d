#include "main/motion/MotionDir.h"

namespace zorvexa {

const char* directionName(int direction) {
    switch (direction) {
    case kDirNone:
        return "NONE";
    case kDirUp:
        return "UP";
    case kDirUpRight:
        return "UPRIGHT";
    case kDirUpLeft:
        return "UPLEFT";
    case kDirDown:
        return "DOWN";
    case kDirDownRight:
        return "DOWNRIGHT";
    case kDirDownLeft:
        return "DOWNLEFT";
    case kDirRightToLeft:
        return "RIGHTTOLEFT";
    case kDirLeftToRight:
        return "LEFTTORIGHT";
    case kDirToCenter:
        return "TOCENTER";
    default:
        return "?";
    }
}

} // namespace zorvexa
