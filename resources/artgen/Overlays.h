#pragma once

// The four small pictures the window lays over the board: sixteen colours, black where the board is to
// show through (their bottom-left pixel, which the window takes as the transparent colour, is black).

#include <QImage>

namespace qbv::artgen {

QImage ledOnPicture();     // 16 x 24: a lit LED, hatched so the LED below shows through
QImage pioOnPicture();     // 15 x 15: an active pin
QImage pressedPicture();   // 32 x 32: an arrow pressing the key down
QImage exitGlyphPicture(); // 50 x 50: a power symbol

} // namespace qbv::artgen
