#pragma once

// Pictures to look at while drawing the board, not shipped: the board with the layout's rectangles
// outlined, and the board as the window shows it, with its outlines, captions and a few lit overlays.

#include <QImage>

namespace qbv::artgen {

QImage outlinedPreview(const QImage& board);
QImage windowPreview(const QImage& board);
// The pin map: the board with every GPIO number on its pin, and each header's name, for the README.
QImage pinMapPreview(const QImage& board);

} // namespace qbv::artgen
