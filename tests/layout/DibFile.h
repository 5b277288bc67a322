#pragma once

// Reads the headers and pixels of the uncompressed BMP and ICO files the artwork is made of, straight
// from their bytes, so the tests see what a Windows reader would.

#include <QByteArray>
#include <QFile>
#include <QRgb>
#include <QString>

#include <cstdint>
#include <vector>

namespace qbv::test {

inline QByteArray readResource(const QString& name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline uint32_t littleEndian(const QByteArray& bytes, qsizetype offset, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | static_cast<uint8_t>(bytes.at(offset + i));
    return value;
}

struct Dib {
    int width = 0;
    int height = 0; // for an icon: the image's own height (half the DIB's)
    int bitsPerPixel = 0;
    uint32_t compression = 0;
    std::vector<QRgb> palette;
    QByteArray bytes;
    qsizetype pixelOffset = 0;

    int stride() const { return ((width * bitsPerPixel + 31) / 32) * 4; }

    // Palette index of a 4-bit pixel, rows counted from the top.
    int index(int x, int y) const {
        const auto byte = static_cast<uint8_t>(bytes.at(pixelOffset + (height - 1 - y) * stride() + x / 2));
        return x % 2 == 0 ? byte >> 4 : byte & 0x0F;
    }
    QRgb colour(int x, int y) const { return palette.at(static_cast<size_t>(index(x, y))); }
};

// The DIB that starts at `header` (its BITMAPINFOHEADER); `pixels` is where its pixel rows begin, or 0
// when they follow the palette.
inline Dib parseDib(const QByteArray& bytes, qsizetype header, qsizetype pixels, bool icon) {
    Dib dib;
    dib.bytes = bytes;
    dib.width = static_cast<int>(littleEndian(bytes, header + 4, 4));
    dib.height = static_cast<int>(littleEndian(bytes, header + 8, 4)) / (icon ? 2 : 1);
    dib.bitsPerPixel = static_cast<int>(littleEndian(bytes, header + 14, 2));
    dib.compression = littleEndian(bytes, header + 16, 4);
    const qsizetype paletteStart = header + littleEndian(bytes, header, 4);
    const int colours = dib.bitsPerPixel <= 8 ? 1 << dib.bitsPerPixel : 0;
    for (int i = 0; i < colours; ++i) {
        const qsizetype entry = paletteStart + 4 * i;
        dib.palette.push_back(qRgb(static_cast<uint8_t>(bytes.at(entry + 2)),
                                   static_cast<uint8_t>(bytes.at(entry + 1)),
                                   static_cast<uint8_t>(bytes.at(entry))));
    }
    dib.pixelOffset = pixels != 0 ? pixels : paletteStart + 4 * colours;
    return dib;
}

inline Dib parseBmp(const QByteArray& bytes) {
    return parseDib(bytes, 14, static_cast<qsizetype>(littleEndian(bytes, 10, 4)), false);
}

// The first image of an icon file.
inline Dib parseIco(const QByteArray& bytes) {
    return parseDib(bytes, static_cast<qsizetype>(littleEndian(bytes, 6 + 12, 4)), 0, true);
}

} // namespace qbv::test
