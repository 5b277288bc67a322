#pragma once

// The program's icon: a blue frame with rounded corners around the letters QBV in blue, on a
// transparent ground.

#include <QImage>

#include <vector>

namespace qbv::artgen {

// Smooth, for the desktop's larger icon sizes.
QImage iconPicture(int size);

// The 32 x 32 sixteen-colour icon: palette indices and, per pixel row by row, whether it is transparent.
struct IndexedIcon {
    QImage indexed;
    std::vector<bool> transparent;
};
IndexedIcon indexedIcon();

// The sixteen-colour icon as a picture with an alpha channel, for the PNG.
QImage indexedIconPicture(const IndexedIcon& icon);

} // namespace qbv::artgen
