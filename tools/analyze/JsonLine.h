// The analyzer's per-frame JSON line: {"frame":n,"count":c,"segments":[...],"direction":d}
#pragma once

#include <string>
#include <vector>

#include "main/motion/MotionSegment.h"

namespace zorvexa {

std::string frameJsonLine(int frame, int count, const std::vector<MotionSegment>& segments,
                          int direction);

} // namespace zorvexa
