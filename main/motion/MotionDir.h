// Gesture directions. Code 1 is not used. The interpreter only ever decides 0, UP,
// DOWN, DOWNRIGHT, DOWNLEFT and TOCENTER; the others occur as sample classes and as
// configuration event names.
#pragma once

namespace zorvexa {

using MotionDir = int;

enum : int {
    kDirNone = 0,
    kDirUp = 2,
    kDirUpRight = 3,
    kDirUpLeft = 4,
    kDirDown = 5,
    kDirDownRight = 6,
    kDirDownLeft = 7,
    kDirRightToLeft = 8,
    kDirLeftToRight = 9,
    kDirToCenter = 10,
};

// Upper-case name of a direction ("UP", "DOWNLEFT", ...), "NONE" for 0 and "?" for a
// code that is not a direction.
const char* directionName(int direction);

} // namespace zorvexa
