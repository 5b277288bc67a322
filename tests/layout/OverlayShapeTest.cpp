// The shapes of the overlays, pixel by pixel where the window relies on them: the pressed-key arrow, the
// active-pin disc and the hatched lit-LED block.

#include "DibFile.h"
#include "resources/Artwork.h"

#include <gtest/gtest.h>

using namespace qbv;

namespace {

constexpr int kYellow = 11;

bool yellow(const test::Dib& dib, int x, int y) {
    return dib.index(x, y) == kYellow;
}

int yellowColumnsInRow(const test::Dib& dib, int y, int* first = nullptr) {
    int count = 0;
    for (int x = 0; x < dib.width; ++x) {
        if (yellow(dib, x, y)) {
            if (count == 0 && first != nullptr)
                *first = x;
            ++count;
        }
    }
    return count;
}

} // namespace

TEST(OverlayShape, PressedArrowHasATwelvePixelShaftAndNarrowsToAPoint) {
    const test::Dib arrow = test::parseBmp(test::readResource(artwork::kPressed));
    for (int y = 0; y <= 18; ++y) {
        SCOPED_TRACE(y);
        int first = -1;
        EXPECT_EQ(yellowColumnsInRow(arrow, y, &first), 12);
        EXPECT_EQ(first, 10);
    }
    EXPECT_EQ(yellowColumnsInRow(arrow, 19), 32);
    int previous = 32;
    for (int y = 20; y <= 31; ++y) {
        const int width = yellowColumnsInRow(arrow, y);
        EXPECT_LT(width, previous) << y;
        previous = width;
    }
    int tip = -1;
    EXPECT_LE(yellowColumnsInRow(arrow, 31, &tip), 2);
    EXPECT_TRUE(yellow(arrow, 15, 31) || yellow(arrow, 16, 31));
}

TEST(OverlayShape, ActivePinIsARoundDiscWithBlackCorners) {
    const test::Dib disc = test::parseBmp(test::readResource(artwork::kPioOn));
    for (const auto& [x, y] : {std::pair{0, 0}, {14, 0}, {0, 14}, {14, 14}, {1, 1}, {13, 13}})
        EXPECT_FALSE(yellow(disc, x, y)) << x << "," << y;
    for (const auto& [x, y] : {std::pair{7, 7}, {7, 0}, {0, 7}, {14, 7}, {7, 14}, {3, 3}, {11, 11}})
        EXPECT_TRUE(yellow(disc, x, y)) << x << "," << y;
    // Symmetric about both axes.
    for (int y = 0; y < 15; ++y) {
        for (int x = 0; x < 15; ++x)
            EXPECT_EQ(yellow(disc, x, y), yellow(disc, 14 - x, 14 - y)) << x << "," << y;
    }
}

TEST(OverlayShape, LitLedIsAYellowBlockHatchedWithThinBlackDiagonals) {
    const test::Dib led = test::parseBmp(test::readResource(artwork::kLedOn));
    for (const auto& [x, y] : {std::pair{0, 0}, {15, 0}, {0, 23}, {15, 23}})
        EXPECT_FALSE(yellow(led, x, y)) << x << "," << y;
    int black = 0;
    for (int y = 1; y < 23; ++y) {
        for (int x = 1; x < 15; ++x) {
            if (!yellow(led, x, y)) {
                ++black;
                // A diagonal stripe continues to the lower left or upper right, and no two black pixels
                // sit side by side: the stripes are one pixel thin.
                const bool continues = !yellow(led, x - 1, y + 1) || !yellow(led, x + 1, y - 1);
                EXPECT_TRUE(continues) << x << "," << y;
                EXPECT_TRUE(yellow(led, x + 1, y)) << x << "," << y;
            }
        }
    }
    EXPECT_GT(black, 14 * 22 / 8);
    EXPECT_LT(black, 14 * 22 / 2);
}

TEST(OverlayShape, ExitGlyphIsARingWithABarInside) {
    const test::Dib glyph = test::parseBmp(test::readResource(artwork::kExitGlyph));
    EXPECT_TRUE(yellow(glyph, 24, 10));  // the bar
    EXPECT_TRUE(yellow(glyph, 24, 42));  // the ring's lowest part
    EXPECT_TRUE(yellow(glyph, 7, 25));   // its left
    EXPECT_TRUE(yellow(glyph, 42, 25));  // its right
    EXPECT_FALSE(yellow(glyph, 24, 34)); // inside, below the bar
    EXPECT_FALSE(yellow(glyph, 0, 49));
}
