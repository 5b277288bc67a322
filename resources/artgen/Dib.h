#pragma once

// Device-independent bitmap files, encoded by hand: Qt writes no 4-bit BMP and no 16-colour icon, and
// writing the 24-bit one here too keeps every header field under our control, so the bytes never change.

#include <QByteArray>
#include <QImage>
#include <QString>

#include <vector>

namespace qbv::artgen {

// Uncompressed 24-bit BMP of any RGB picture.
QByteArray encodeBmp24(const QImage& picture);

// Uncompressed 4-bit BMP with the sixteen-colour palette; `indexed` holds palette indices 0-15.
QByteArray encodeBmp4(const QImage& indexed);

// A one-image icon file: 4 bits per pixel with the sixteen-colour palette, plus the transparency mask
// (one flag per pixel, row by row from the top).
QByteArray encodeIco4(const QImage& indexed, const std::vector<bool>& transparent);

bool writeFile(const QString& path, const QByteArray& bytes);

} // namespace qbv::artgen
