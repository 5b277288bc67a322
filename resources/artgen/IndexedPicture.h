#pragma once

// A small picture in the sixteen-colour palette, cleared to black (the transparent colour of the
// overlays), with helpers to set pixels by shape.

#include "Palette16.h"

#include <QImage>

#include <functional>

namespace qbv::artgen {

QImage newIndexedPicture(int width, int height);

// Sets every pixel for which inside(x, y) holds to the colour.
void fillWhere(QImage& picture, PaletteIndex colour, const std::function<bool(int x, int y)>& inside);

} // namespace qbv::artgen
