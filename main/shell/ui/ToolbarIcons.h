// The toolbar's picture set: thirteen 32 x 32 images drawn as SVG (data/icons), compiled
// into the program.
#pragma once

#include <QIcon>
#include <QString>

namespace zorvexa {

constexpr int kToolbarImageCount = 13;
// Picture indices of the four toolbar buttons.
constexpr int kImageWebcamSettings = 0;
constexpr int kImageWebcam = 7;
constexpr int kImageReload = 11;
constexpr int kImageBicycle = 12;
constexpr int kImageExercise = 9;

// Resource path of picture `index` (0 to 12); empty for any other index.
QString toolbarImagePath(int index);
// The picture as an icon for 32-pixel buttons; a null icon when it cannot be drawn.
QIcon toolbarIcon(int index);

} // namespace zorvexa
