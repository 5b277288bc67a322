#pragma once

// The program's icon: a blue frame with rounded corners around the letters QBV in blue, on a
// transparent ground.

#include <QByteArray>
#include <QImage>

#include <array>
#include <vector>

namespace qbv::artgen {

// Smooth, for the desktop's larger icon sizes.
QImage iconPicture(int size);

// The sizes the desktop's icon theme gets, each drawn at its size: scaled down from a larger one, the thin
// strokes of the small sizes would blur.
inline constexpr std::array<int, 8> kThemeIconSizes = {16, 22, 24, 32, 48, 64, 128, 256};

// The smooth design as an SVG document, for the theme's scalable size. The letters go in as outlines, so
// the picture does not depend on the fonts of the machine that shows it.
QByteArray iconSvg();

// The 32 x 32 sixteen-colour icon: palette indices and, per pixel row by row, whether it is transparent.
struct IndexedIcon {
    QImage indexed;
    std::vector<bool> transparent;
};
IndexedIcon indexedIcon();

// The sixteen-colour icon as a picture with an alpha channel, for the PNG.
QImage indexedIconPicture(const IndexedIcon& icon);

} // namespace qbv::artgen
