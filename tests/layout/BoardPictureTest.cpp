// The board picture shows a part, not bare solder mask, under every control that stands for one.

#include "resources/Artwork.h"
#include "resources/BoardLayout.h"
#include "resources/artgen/BoardColours.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>

using namespace qbv;
using namespace qbv::layout;

namespace {

const QImage& board() {
    static const QImage picture = QImage(artwork::kBoard).convertToFormat(QImage::Format_RGB32);
    return picture;
}

double distance(QRgb a, QRgb b) {
    return std::hypot(qRed(a) - qRed(b), qGreen(a) - qGreen(b), qBlue(a) - qBlue(b));
}

// Bare mask, over laminate or copper, shaded by the light and the grain, stays near its two colours.
bool looksLikeBareMask(QRgb pixel) {
    return std::min(distance(pixel, artgen::kMask), distance(pixel, artgen::kMaskOverCopper)) < 40;
}

double partShare(const QRect& area) {
    int part = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            part += looksLikeBareMask(board().pixel(x, y)) ? 0 : 1;
    }
    return static_cast<double>(part) / (area.width() * area.height());
}

QRect qrect(const Rect& r) {
    return QRect(r.left, r.top, r.width, r.height);
}

} // namespace

TEST(BoardPicture, LoadsFromTheLinkedResources) {
    ASSERT_EQ(board().size(), QSize(775, 514));
    EXPECT_GT(partShare(board().rect()), 0.2);
    EXPECT_LT(partShare(board().rect()), 0.8);
}

TEST(BoardPicture, ShowsAnLedWhereEachLitLedIsDrawn) {
    for (int led = 0; led < kLedCount; ++led) {
        const Rect button = placedLedButtons()[led];
        EXPECT_GT(partShare(QRect(button.left + 7, button.top + 30, 16, 24)), 0.9) << led;
        // Between neighbouring LEDs the mask shows.
        EXPECT_LT(partShare(QRect(button.left + 1, button.top + 30, 3, 24)), 0.5) << led;
    }
}

TEST(BoardPicture, ShowsAHeaderPinUnderEachGpioButton) {
    for (const PinButton& pin : placedGpioButtons())
        EXPECT_GT(partShare(QRect(pin.rect.left + 3, pin.rect.top + 3, 15, 15)), 0.9) << pin.pin;
}

TEST(BoardPicture, ShowsAKeyUnderEachKeyBox) {
    for (const ComponentId key : szPainBox)
        EXPECT_GT(partShare(qrect(component(key).rect)), 0.9) << component(key).name;
}

TEST(BoardPicture, ShowsSomethingUnderEachMainButton) {
    for (const ComponentId id : kMainButtonGlyphOrder)
        EXPECT_GT(partShare(qrect(component(id).rect)), 0.15) << component(id).name;
}

TEST(BoardPicture, LeavesTheEmptyHeaderCellsBare) {
    // Columns 5 and 14 of the first two header rows hold no pin.
    const Rect left = placedGpioButtons()[4].rect;   // row 0, column 4
    const Rect right = placedGpioButtons()[12].rect; // row 0, column 13
    for (const Rect& beside : {left, right}) {
        const QPoint gapCentre(beside.right() + 12, beside.top + 10);
        EXPECT_TRUE(looksLikeBareMask(board().pixel(gapCentre))) << gapCentre.x();
    }
}
