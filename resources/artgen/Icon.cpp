#include "Icon.h"

#include "IndexedPicture.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QString>

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

// A blue tile with a white rim: white letters on it read on a light panel, and the rim keeps its edge on
// a dark one.
double rimWidth(int size) {
    return std::max(1.0, size / 16.0);
}

void paintTile(QPainter& painter, int size, bool smooth) {
    const double rim = rimWidth(size);
    painter.setRenderHint(QPainter::Antialiasing, smooth);
    painter.setPen(QPen(QColor(kPalette16[kWhiteIndex]), rim));
    painter.setBrush(QColor(kPalette16[kBlueIndex]));
    const QRectF tile(rim / 2, rim / 2, size - rim, size - rim);
    painter.drawRoundedRect(tile, size * 0.22, size * 0.22);
}

// Three letters where there is room for them; the first alone on the smallest icons, where three would
// blur into one.
QString lettersFor(int size) {
    return size >= 32 ? QStringLiteral("QBV") : QStringLiteral("Q");
}

QFont letterFont(int size) {
    QFont font("Liberation Sans");
    font.setBold(true);
    font.setPixelSize(size >= 32 ? size * 13 / 32 : size * 3 / 4);
    font.setLetterSpacing(QFont::AbsoluteSpacing, -size / 64.0);
    return font;
}

// The smooth design: the tile, the letters from a bold font.
void paintDesign(QPainter& painter, int size) {
    paintTile(painter, size, true);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(letterFont(size));
    painter.setPen(QColor(kPalette16[kWhiteIndex]));
    painter.drawText(QRectF(0, 0, size, size), Qt::AlignCenter, lettersFor(size));
}

// Fixed decimals and no locale, so the same design always gives the same bytes.
QString svgNumber(qreal value) {
    return QString::number(value, 'f', 2);
}

QString svgPathData(const QPainterPath& path) {
    QString data;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element element = path.elementAt(i);
        const QString point = svgNumber(element.x) + ' ' + svgNumber(element.y);
        if (element.isMoveTo()) {
            data += "M" + point;
        } else if (element.isLineTo()) {
            data += "L" + point;
        } else if (element.isCurveTo()) {
            // A cubic's two further points follow as data elements.
            const QPainterPath::Element second = path.elementAt(i + 1);
            const QPainterPath::Element end = path.elementAt(i + 2);
            data += "C" + point + ' ' + svgNumber(second.x) + ' ' + svgNumber(second.y) + ' ' +
                    svgNumber(end.x) + ' ' + svgNumber(end.y);
            i += 2;
        }
    }
    return data;
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

QByteArray iconSvg() {
    constexpr int size = 256;
    const double pen = rimWidth(size);
    const QString blue = QColor(kPalette16[kBlueIndex]).name();
    const QString white = QColor(kPalette16[kWhiteIndex]).name();

    // Placed as drawText centres a line: its advance across, ascent and descent down.
    const QFont font = letterFont(size);
    const QFontMetricsF metrics(font);
    const QPointF baseline((size - metrics.horizontalAdvance("QBV")) / 2,
                           (size - metrics.ascent() - metrics.descent()) / 2 + metrics.ascent());
    QPainterPath letters;
    letters.addText(baseline, font, "QBV");

    const QString svg =
        QString(
            "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" viewBox=\"0 0 %1 %1\">\n"
            "  <rect x=\"%2\" y=\"%2\" width=\"%3\" height=\"%3\" rx=\"%4\" ry=\"%4\" fill=\"%5\" "
            "stroke=\"%9\" stroke-width=\"%6\"/>\n"
            "  <path fill=\"%9\" stroke=\"none\" fill-rule=\"%7\" d=\"%8\"/>\n"
            "</svg>\n")
            .arg(size)
            .arg(svgNumber(pen / 2), svgNumber(size - pen), svgNumber(size * 0.22), blue, svgNumber(pen),
                 QString::fromLatin1(letters.fillRule() == Qt::WindingFill ? "nonzero" : "evenodd"),
                 svgPathData(letters), white);
    return svg.toUtf8();
}

IndexedIcon indexedIcon() {
    // The tile is drawn; the letters are set by hand, since no font stays legible at nine pixels.
    QImage drawn(kIndexedSize, kIndexedSize, QImage::Format_ARGB32);
    drawn.fill(Qt::transparent);
    QPainter painter(&drawn);
    paintTile(painter, kIndexedSize, false);
    painter.end();
    for (size_t row = 0; row < kLetters.size(); ++row) {
        for (int column = 0; kLetters[row][column] != '\0'; ++column) {
            if (kLetters[row][column] == '#')
                drawn.setPixel(kLettersLeft + column, kLettersTop + static_cast<int>(row),
                               kPalette16[kWhiteIndex]);
        }
    }

    IndexedIcon icon{newIndexedPicture(kIndexedSize, kIndexedSize), {}};
    icon.transparent.resize(kIndexedSize * kIndexedSize);
    for (int y = 0; y < kIndexedSize; ++y) {
        for (int x = 0; x < kIndexedSize; ++x) {
            const QRgb pixel = drawn.pixel(x, y);
            const bool opaque = qAlpha(pixel) >= 128;
            const bool white = qRed(pixel) > 128 && qBlue(pixel) > 128;
            icon.indexed.setPixel(x, y, !opaque ? kBlackIndex : white ? kWhiteIndex : kBlueIndex);
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
