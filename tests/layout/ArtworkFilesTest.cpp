// The picture files as a Windows reader and Qt's reader see them: sizes, depths, the sixteen-colour
// palette, the transparent colour, and that the static library really carries them.

#include "DibFile.h"
#include "resources/Artwork.h"

#include <QImage>

#include <gtest/gtest.h>

using namespace qbv;

namespace {

struct SmallPicture {
    const char* name;
    int width;
    int height;
};

const SmallPicture kSmallPictures[] = {
    {artwork::kLedOn, 16, 24},
    {artwork::kPioOn, 15, 15},
    {artwork::kPressed, 32, 32},
    {artwork::kExitGlyph, 50, 50},
};

const std::vector<QRgb> kWindowsPalette = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

std::vector<QRgb> withoutAlpha(const std::vector<QRgb>& colours) {
    std::vector<QRgb> rgb;
    for (const QRgb colour : colours)
        rgb.push_back(colour & 0xFFFFFF);
    return rgb;
}

} // namespace

TEST(ArtworkFiles, EveryPictureIsLinkedIn) {
    EXPECT_TRUE(artwork::artworkPresent());
}

TEST(ArtworkFiles, BoardIsAnUncompressed24BitPicture) {
    const QByteArray bytes = test::readResource(artwork::kBoard);
    ASSERT_GT(bytes.size(), 54);
    EXPECT_EQ(bytes.left(2), QByteArray("BM"));
    EXPECT_EQ(test::littleEndian(bytes, 2, 4), static_cast<uint32_t>(bytes.size()));
    const test::Dib dib = test::parseBmp(bytes);
    EXPECT_EQ(dib.width, 775);
    EXPECT_EQ(dib.height, 514);
    EXPECT_EQ(dib.bitsPerPixel, 24);
    EXPECT_EQ(dib.compression, 0u);
    EXPECT_EQ(bytes.size(), dib.pixelOffset + dib.stride() * 514);

    const QImage board(artwork::kBoard);
    EXPECT_EQ(board.size(), QSize(775, 514));
}

TEST(ArtworkFiles, OverlaysAreSixteenColourPicturesWithBlackBottomLeft) {
    for (const SmallPicture& picture : kSmallPictures) {
        SCOPED_TRACE(picture.name);
        const QByteArray bytes = test::readResource(picture.name);
        ASSERT_GT(bytes.size(), 118);
        const test::Dib dib = test::parseBmp(bytes);
        EXPECT_EQ(dib.width, picture.width);
        EXPECT_EQ(dib.height, picture.height);
        EXPECT_EQ(dib.bitsPerPixel, 4);
        EXPECT_EQ(dib.compression, 0u);
        EXPECT_EQ(withoutAlpha(dib.palette), kWindowsPalette);
        EXPECT_EQ(bytes.size(), dib.pixelOffset + dib.stride() * picture.height);
        EXPECT_EQ(dib.index(0, picture.height - 1), 0);

        // Qt's reader, which the window uses, must agree pixel for pixel.
        const QImage loaded(picture.name);
        ASSERT_EQ(loaded.size(), QSize(picture.width, picture.height));
        for (int y = 0; y < picture.height; ++y) {
            for (int x = 0; x < picture.width; ++x)
                ASSERT_EQ(loaded.pixel(x, y) & 0xFFFFFF, dib.colour(x, y) & 0xFFFFFF) << x << "," << y;
        }
    }
}

TEST(ArtworkFiles, OverlaysUseOnlyYellowOnBlack) {
    for (const SmallPicture& picture : kSmallPictures) {
        SCOPED_TRACE(picture.name);
        const test::Dib dib = test::parseBmp(test::readResource(picture.name));
        int yellow = 0;
        for (int y = 0; y < dib.height; ++y) {
            for (int x = 0; x < dib.width; ++x) {
                const int index = dib.index(x, y);
                ASSERT_TRUE(index == 0 || index == 11) << x << "," << y;
                yellow += index == 11;
            }
        }
        EXPECT_GT(yellow, dib.width * dib.height / 5);
    }
}

TEST(ArtworkFiles, IconIsA32PixelSixteenColourIcon) {
    const QByteArray bytes = test::readResource(artwork::kIconIco);
    ASSERT_GT(bytes.size(), 22);
    EXPECT_EQ(test::littleEndian(bytes, 2, 2), 1u); // an icon, not a cursor
    EXPECT_EQ(test::littleEndian(bytes, 4, 2), 1u); // one image
    EXPECT_EQ(static_cast<uint8_t>(bytes.at(6)), 32);
    EXPECT_EQ(static_cast<uint8_t>(bytes.at(7)), 32);
    EXPECT_EQ(static_cast<uint8_t>(bytes.at(8)), 16);
    const test::Dib dib = test::parseIco(bytes);
    EXPECT_EQ(dib.width, 32);
    EXPECT_EQ(dib.height, 32);
    EXPECT_EQ(dib.bitsPerPixel, 4);
    EXPECT_EQ(withoutAlpha(dib.palette), kWindowsPalette);
    const qsizetype end = test::littleEndian(bytes, 6 + 12, 4) + test::littleEndian(bytes, 6 + 8, 4);
    EXPECT_EQ(bytes.size(), end);

    const QImage ico(artwork::kIconIco);
    const QImage png(artwork::kIconPng);
    ASSERT_EQ(ico.size(), QSize(32, 32));
    ASSERT_EQ(png.size(), QSize(32, 32));
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x)
            ASSERT_EQ(ico.pixelColor(x, y).alpha() > 0, png.pixelColor(x, y).alpha() > 0) << x << "," << y;
    }
}

// White letters on a blue tile read on a light panel, and the tile's white rim keeps its edge on a dark
// one, down to the smallest icon the desktop asks for.
TEST(ArtworkFiles, IconIsWhiteLettersOnABlueTileWithAWhiteRim) {
    for (const QString& file : {QString(artwork::kIconPng), QStringLiteral(QBV_ARTWORK_DIR "/icon_16.png")}) {
        SCOPED_TRACE(file.toStdString());
        const QImage icon = QImage(file).convertToFormat(QImage::Format_ARGB32);
        ASSERT_FALSE(icon.isNull());
        const int last = icon.width() - 1;
        const int middle = icon.width() / 2;
        for (const QPoint corner : {QPoint(0, 0), QPoint(last, 0), QPoint(0, last), QPoint(last, last)})
            EXPECT_EQ(qAlpha(icon.pixel(corner)), 0);
        for (const QPoint edge :
             {QPoint(middle, 0), QPoint(middle, last), QPoint(0, middle), QPoint(last, middle)})
            EXPECT_GT(qGray(icon.pixel(edge)), 200);
        int blue = 0;
        int white = 0;
        for (int y = 2; y < last - 1; ++y) {
            for (int x = 2; x < last - 1; ++x) {
                const QRgb pixel = icon.pixel(x, y);
                EXPECT_EQ(qAlpha(pixel), 255);
                blue += qBlue(pixel) > 200 && qRed(pixel) < 80 ? 1 : 0;
                white += qGray(pixel) > 200 ? 1 : 0;
            }
        }
        const int inside = (last - 3) * (last - 3);
        EXPECT_GT(white, inside / 10); // the letters
        EXPECT_GT(blue, inside / 3);   // the tile around them
    }
}
