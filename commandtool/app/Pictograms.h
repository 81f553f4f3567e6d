// The gesture pictograms shown under the command list and used as window icons.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace zorvexa {

enum class Pictogram { ToCentre, Up, Down, Right, Left, DownLeft, UpRight };

// The seven pictograms in the order they stand under the list.
constexpr Pictogram kPictogramRow[] = {Pictogram::ToCentre, Pictogram::Up,   Pictogram::Down,
                                       Pictogram::Right,    Pictogram::Left, Pictogram::DownLeft,
                                       Pictogram::UpRight};

// Rendered at `size` x `size` device-independent pixels.
QPixmap pictogramPixmap(Pictogram pictogram, int size, qreal devicePixelRatio = 1.0);
QIcon pictogramIcon(Pictogram pictogram);

} // namespace zorvexa
