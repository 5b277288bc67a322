#include "Icon.h"

#include "IndexedPicture.h"

#include <QFont>
#include <QPainter>

#include <array>

namespace qbv::artgen {

namespace {

constexpr int kIndexedSize = 32;

// Q, B and V, seven pixels wide with two-pixel strokes, two pixels apart; the tail of the Q hangs below.
constexpr int kLettersLeft = 4;
constexpr int kLettersTop = 12;
constexpr std::array<const char*, 10> kLetters = {
    ".#####...######...##...##", "##...##..##...##..##...##", "##...##..##...##..##...##",
    "##...##..######...##...##", "##...##..##...##...##.##.", "##...##..##...##...##.##.",
    "##...##..##...##....###..", ".#####...######......#...", "...###...................",
    "....###..................",
};

void paintFrame(QPainter& painter, int size, bool smooth) {
    const double pen = size / 16.0;
    painter.setRenderHint(QPainter::Antialiasing, smooth);
    painter.setPen(QPen(QColor(kPalette16[kBlueIndex]), pen));
    painter.setBrush(Qt::NoBrush);
    const QRectF frame(pen / 2, pen / 2, size - pen, size - pen);
    painter.drawRoundedRect(frame, size * 0.22, size * 0.22);
}

// The smooth design for larger sizes: the same frame, the letters from a bold font.
void paintDesign(QPainter& painter, int size) {
    const QColor blue(kPalette16[kBlueIndex]);
    paintFrame(painter, size, true);
    painter.setRenderHint(QPainter::TextAntialiasing);

    QFont font("Liberation Sans");
    font.setBold(true);
    font.setPixelSize(size * 13 / 32);
    font.setLetterSpacing(QFont::AbsoluteSpacing, -size / 64.0);
    painter.setFont(font);
    painter.setPen(blue);
    painter.drawText(QRectF(0, 0, size, size), Qt::AlignCenter, "QBV");
}

} // namespace

QImage iconPicture(int size) {
    QImage picture(size, size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    paintDesign(painter, size);
    painter.end();
    return picture.convertToFormat(QImage::Format_ARGB32);
}

IndexedIcon indexedIcon() {
    // The frame is drawn; the letters are set by hand, since no font stays legible at nine pixels.
    QImage drawn(kIndexedSize, kIndexedSize, QImage::Format_ARGB32);
    drawn.fill(Qt::transparent);
    QPainter painter(&drawn);
    paintFrame(painter, kIndexedSize, false);
    painter.end();
    for (size_t row = 0; row < kLetters.size(); ++row) {
        for (int column = 0; kLetters[row][column] != '\0'; ++column) {
            if (kLetters[row][column] == '#')
                drawn.setPixel(kLettersLeft + column, kLettersTop + static_cast<int>(row),
                               QColor(Qt::blue).rgba());
        }
    }

    IndexedIcon icon{newIndexedPicture(kIndexedSize, kIndexedSize), {}};
    icon.transparent.resize(kIndexedSize * kIndexedSize);
    for (int y = 0; y < kIndexedSize; ++y) {
        for (int x = 0; x < kIndexedSize; ++x) {
            const bool opaque = qAlpha(drawn.pixel(x, y)) >= 128;
            icon.indexed.setPixel(x, y, opaque ? kBlueIndex : kBlackIndex);
            icon.transparent[static_cast<size_t>(y * kIndexedSize + x)] = !opaque;
        }
    }
    return icon;
}

QImage indexedIconPicture(const IndexedIcon& icon) {
    QImage picture = icon.indexed.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (icon.transparent[static_cast<size_t>(y * picture.width() + x)])
                picture.setPixel(x, y, qRgba(0, 0, 0, 0));
        }
    }
    return picture;
}

} // namespace qbv::artgen
