#include "tests/app/WindowFixture.h"

#include "widgets/TImage.h"
#include "widgets/TSpeedButton.h"

#include <QPainter>

using qbv::test::WindowTest;

namespace {

constexpr QRgb kAqua = 0xFF00FFFFu;
constexpr int kLayoutPixels = 24; // Download's caption in the layout

class GlyphTest : public WindowTest {
protected:
    void SetUp() override { showWindow(); }

    static QImage frame(const TSpeedButton* button, int index) {
        const QImage& strip = button->glyph();
        const int w = strip.width() / button->numGlyphs();
        return strip.copy(index * w, 0, w, strip.height());
    }
    QImage photoUnder(const TSpeedButton* button) const {
        return form->ImageBoard->bitmap().copy(button->geometry()).convertToFormat(QImage::Format_RGB32);
    }
};

} // namespace

TEST_F(GlyphTest, IoButtonsHaveFourFramesOfWhichOnlyTheDownFrameShowsTheOverlay) {
    for (TSpeedButton* button : {led(0), led(7), pin(0), pin(87)}) {
        ASSERT_EQ(button->numGlyphs(), 4);
        ASSERT_EQ(button->glyph().size(), QSize(button->width() * 4, button->height()));
        EXPECT_EQ(frame(button, 0), frame(button, 1));
        EXPECT_EQ(frame(button, 0), frame(button, 2));
        EXPECT_NE(frame(button, 0), frame(button, 3));
    }
}

TEST_F(GlyphTest, PinGlyphIsThePhotoWithAnAquaRingAndTheActivePinDiscCentredInTheDownFrame) {
    const TSpeedButton* button = pin(5); // 21 x 21; the ring's box is (3, 3, 18, 18)
    const QImage up = frame(button, 0);
    const QImage photo = photoUnder(button);
    // The ring: aqua 3 pixels wide around (10, 10) at radius 7; the photo outside and inside it.
    for (const QPoint ring :
         {QPoint(10, 2), QPoint(10, 3), QPoint(10, 4), QPoint(2, 10), QPoint(18, 10), QPoint(10, 18)})
        EXPECT_EQ(up.pixel(ring), kAqua) << ring.x() << "," << ring.y();
    for (const QPoint bare : {QPoint(0, 0), QPoint(10, 0), QPoint(20, 20), QPoint(10, 10), QPoint(10, 6)})
        EXPECT_EQ(up.pixel(bare), photo.pixel(bare)) << bare.x() << "," << bare.y();

    // The down frame adds the 15 x 15 disc at (3, 3), its black corners left out.
    QImage expected = up;
    {
        QPainter painter(&expected);
        painter.drawImage(0, 0, photo);
        painter.drawImage(3, 3, form->ImagePioOn->transparentBitmap());
    }
    const QImage down = frame(button, 3);
    EXPECT_EQ(down.pixel(10, 10), expected.pixel(10, 10));
    EXPECT_EQ(down.pixel(3, 3), photo.pixel(3, 3)) << "transparent corner of the disc";
    EXPECT_EQ(down.pixel(0, 0), photo.pixel(0, 0));
}

TEST_F(GlyphTest, LedGlyphHasARoundedOutlineAndTheLitLedTenPixelsAboveTheBottom) {
    const TSpeedButton* button = led(2); // 29 x 64: the lit LED (16 x 24) lands at (7, 30)
    ASSERT_EQ(button->size(), QSize(29, 64));
    const QImage up = frame(button, 0);
    const QImage photo = photoUnder(button);
    for (int x = 0; x < 3; ++x) {
        EXPECT_EQ(up.pixel(x, 32), kAqua) << x;
        EXPECT_EQ(up.pixel(28 - x, 32), kAqua) << x;
        EXPECT_EQ(up.pixel(14, x), kAqua) << x;
        EXPECT_EQ(up.pixel(14, 63 - x), kAqua) << x;
    }
    EXPECT_EQ(up.pixel(3, 32), photo.pixel(3, 32));
    EXPECT_EQ(up.pixel(14, 20), photo.pixel(14, 20));

    const QImage lit = form->ImageLedOn->bitmap().convertToFormat(QImage::Format_RGB32);
    const QImage down = frame(button, 3);
    int overlayPixels = 0;
    for (int y = 0; y < lit.height(); ++y)
        for (int x = 0; x < lit.width(); ++x) {
            const QRgb source = lit.pixel(x, y);
            const QRgb shown = down.pixel(7 + x, 30 + y);
            if (source == 0xFF000000u) // the transparent colour: the photo shows through
                EXPECT_EQ(shown, up.pixel(7 + x, 30 + y)) << x << "," << y;
            else
                overlayPixels += shown == source ? 1 : 0;
        }
    EXPECT_GT(overlayPixels, 100);
    EXPECT_EQ(down.pixel(7 + 8, 29), up.pixel(7 + 8, 29)); // nothing above the overlay
}

TEST_F(GlyphTest, MainButtonsShowTheirCaptionsInAquaAndLoseTheirOwnText) {
    for (TSpeedButton* button :
         {form->SpeedButtonDownload, form->SpeedButtonExit, form->SpeedButtonConnect}) {
        const QImage glyph = button->glyph();
        const QRect inner = QRect(QPoint(0, 0), glyph.size()).adjusted(4, 4, -4, -4);
        int aqua = 0;
        int yellow = 0;
        for (int y = inner.top(); y <= inner.bottom(); ++y)
            for (int x = inner.left(); x <= inner.right(); ++x) {
                aqua += glyph.pixel(x, y) == kAqua ? 1 : 0;
                yellow += glyph.pixel(x, y) == 0xFFFFFF00u ? 1 : 0;
            }
        EXPECT_GT(aqua, 80) << button->objectName().toStdString();
        EXPECT_EQ(yellow, 0) << "the Exit font's own colour never shows";
        EXPECT_TRUE(button->text().isEmpty());
    }
    // Without a caption the glyph is the photo with the outline alone.
    const TSpeedButton* altera = form->SpeedButtonAltera;
    EXPECT_EQ(altera->glyph().pixel(84, 28), photoUnder(altera).pixel(84, 28));
    EXPECT_EQ(altera->glyph().pixel(0, 28), kAqua);
}

// A caption stays inside its button's outline whatever its font measures: larger sizes of the layout's
// font stand in for a wider face (Wine's measure of the layout's font clipped "Download .POF" at both ends);
// at the layout's own size the caption keeps it.
class CaptionFitTest : public GlyphTest, public testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        form = std::make_unique<TFormMain>(qbv::test::programFolder(), &ui);
        QFont wider = form->SpeedButtonDownload->font();
        wider.setPixelSize(GetParam());
        form->SpeedButtonDownload->setFont(wider);
        form->show(); // the glyphs are made as the window first shows
    }
};

TEST_P(CaptionFitTest, CaptionStaysInsideTheOutline) {
    const TSpeedButton* download = form->SpeedButtonDownload;
    const QImage glyph = download->glyph();
    const QImage photo = photoUnder(download);
    // The caption's ink: what differs from the photo inside the outline, clear of its rounded corners.
    QRect ink;
    for (int y = 5; y < glyph.height() - 5; ++y)
        for (int x = 3; x < glyph.width() - 3; ++x)
            if (glyph.pixel(x, y) != photo.pixel(x, y))
                ink |= QRect(x, y, 1, 1);
    ASSERT_FALSE(ink.isEmpty());
    // Clear of the outline's four pixels: a caption too wide runs on under it.
    EXPECT_GT(ink.left(), 4);
    EXPECT_LT(ink.right(), glyph.width() - 5);
    if (GetParam() == kLayoutPixels) {
        const QFontMetrics layoutFont(download->font());
        EXPECT_GE(ink.width(), layoutFont.horizontalAdvance(QStringLiteral("Download .POF")) - 3)
            << "the layout's font, not a smaller one";
    }
}

INSTANTIATE_TEST_SUITE_P(PixelSizes, CaptionFitTest, testing::Values(kLayoutPixels, 30, 40));
