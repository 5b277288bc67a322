#include "Dib.h"

#include "Palette16.h"

#include <QFile>

#include <cstdint>

namespace qbv::artgen {

namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr int kPaletteSize = 16 * 4;
constexpr uint32_t kPixelsPerMetreAt96Dpi = 3780;

void put16(QByteArray& out, uint32_t value) {
    out.append(static_cast<char>(value & 0xFF));
    out.append(static_cast<char>((value >> 8) & 0xFF));
}

void put32(QByteArray& out, uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

// Rows of a DIB start on four-byte boundaries.
int rowBytes(int width, int bitsPerPixel) {
    return ((width * bitsPerPixel + 31) / 32) * 4;
}

void putFileHeader(QByteArray& out, uint32_t fileSize, uint32_t pixelOffset) {
    out.append("BM", 2);
    put32(out, fileSize);
    put32(out, 0);
    put32(out, pixelOffset);
}

void putInfoHeader(QByteArray& out, int width, int height, int bitsPerPixel, uint32_t imageSize) {
    put32(out, kInfoHeaderSize);
    put32(out, static_cast<uint32_t>(width));
    put32(out, static_cast<uint32_t>(height));
    put16(out, 1); // planes
    put16(out, static_cast<uint32_t>(bitsPerPixel));
    put32(out, 0); // BI_RGB: uncompressed
    put32(out, imageSize);
    put32(out, kPixelsPerMetreAt96Dpi);
    put32(out, kPixelsPerMetreAt96Dpi);
    put32(out, bitsPerPixel == 4 ? 16 : 0); // colours used
    put32(out, 0);                          // all colours important
}

void putPalette(QByteArray& out) {
    for (const QRgb colour : kPalette16) {
        out.append(static_cast<char>(qBlue(colour)));
        out.append(static_cast<char>(qGreen(colour)));
        out.append(static_cast<char>(qRed(colour)));
        out.append('\0');
    }
}

// Pixel rows bottom-up, two pixels a byte, the left one in the high nibble.
void putNibbleRows(QByteArray& out, const QImage& indexed) {
    const int stride = rowBytes(indexed.width(), 4);
    for (int y = indexed.height() - 1; y >= 0; --y) {
        QByteArray row(stride, '\0');
        const uchar* line = indexed.constScanLine(y);
        for (int x = 0; x < indexed.width(); ++x) {
            const auto nibble = static_cast<uchar>(line[x] & 0x0F);
            row[x / 2] = static_cast<char>(row[x / 2] | (x % 2 == 0 ? nibble << 4 : nibble));
        }
        out.append(row);
    }
}

void putMaskRows(QByteArray& out, int width, int height, const std::vector<bool>& transparent) {
    const int stride = rowBytes(width, 1);
    for (int y = height - 1; y >= 0; --y) {
        QByteArray row(stride, '\0');
        for (int x = 0; x < width; ++x) {
            if (transparent[static_cast<size_t>(y * width + x)])
                row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
        }
        out.append(row);
    }
}

} // namespace

QByteArray encodeBmp24(const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    const int stride = rowBytes(rgb.width(), 24);
    const auto imageSize = static_cast<uint32_t>(stride * rgb.height());
    const uint32_t offset = kFileHeaderSize + kInfoHeaderSize;
    QByteArray out;
    out.reserve(static_cast<qsizetype>(offset + imageSize));
    putFileHeader(out, offset + imageSize, offset);
    putInfoHeader(out, rgb.width(), rgb.height(), 24, imageSize);
    for (int y = rgb.height() - 1; y >= 0; --y) {
        QByteArray row(stride, '\0');
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            row[3 * x] = static_cast<char>(qBlue(line[x]));
            row[3 * x + 1] = static_cast<char>(qGreen(line[x]));
            row[3 * x + 2] = static_cast<char>(qRed(line[x]));
        }
        out.append(row);
    }
    return out;
}

QByteArray encodeBmp4(const QImage& indexed) {
    const auto imageSize = static_cast<uint32_t>(rowBytes(indexed.width(), 4) * indexed.height());
    const uint32_t offset = kFileHeaderSize + kInfoHeaderSize + kPaletteSize;
    QByteArray out;
    putFileHeader(out, offset + imageSize, offset);
    putInfoHeader(out, indexed.width(), indexed.height(), 4, imageSize);
    putPalette(out);
    putNibbleRows(out, indexed);
    return out;
}

QByteArray encodeIco4(const QImage& indexed, const std::vector<bool>& transparent) {
    const int width = indexed.width();
    const int height = indexed.height();
    const auto colourSize = static_cast<uint32_t>(rowBytes(width, 4) * height);
    const auto maskSize = static_cast<uint32_t>(rowBytes(width, 1) * height);
    const uint32_t imageSize = kInfoHeaderSize + kPaletteSize + colourSize + maskSize;
    constexpr uint32_t kDirectorySize = 6 + 16;

    QByteArray out;
    put16(out, 0); // reserved
    put16(out, 1); // an icon
    put16(out, 1); // one image
    out.append(static_cast<char>(width));
    out.append(static_cast<char>(height));
    out.append(static_cast<char>(16)); // colours
    out.append('\0');
    put16(out, 1); // planes
    put16(out, 4); // bits per pixel
    put32(out, imageSize);
    put32(out, kDirectorySize);
    // An icon's DIB is twice as high as the image: the colour rows, then the mask rows.
    putInfoHeader(out, width, 2 * height, 4, colourSize + maskSize);
    putPalette(out);
    putNibbleRows(out, indexed);
    putMaskRows(out, width, height, transparent);
    return out;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(bytes) == bytes.size() && file.flush();
}

} // namespace qbv::artgen
