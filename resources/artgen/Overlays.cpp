#include "Overlays.h"

#include "IndexedPicture.h"

#include <cmath>

namespace qbv::artgen {

namespace {

// Distance of a pixel's centre from a point given in pixel-edge coordinates.
double distanceFrom(int x, int y, double cx, double cy) {
    return std::hypot(x + 0.5 - cx, y + 0.5 - cy);
}

} // namespace

QImage ledOnPicture() {
    constexpr int kWidth = 16;
    constexpr int kHeight = 24;
    QImage picture = newIndexedPicture(kWidth, kHeight);
    fillWhere(picture, kYellowIndex, [](int x, int y) {
        const bool corner = (x == 0 || x == kWidth - 1) && (y == 0 || y == kHeight - 1);
        const bool stripe = (x + y) % 4 == 3;
        return !corner && !stripe;
    });
    return picture;
}

QImage pioOnPicture() {
    constexpr int kSize = 15;
    QImage picture = newIndexedPicture(kSize, kSize);
    fillWhere(picture, kYellowIndex,
              [](int x, int y) { return distanceFrom(x, y, kSize / 2.0, kSize / 2.0) <= kSize / 2.0; });
    return picture;
}

QImage pressedPicture() {
    constexpr int kSize = 32;
    constexpr int kShaftLeft = 10;
    constexpr int kShaftRight = 21;
    constexpr int kHeadTop = 19;
    QImage picture = newIndexedPicture(kSize, kSize);
    fillWhere(picture, kYellowIndex, [](int x, int y) {
        if (y < kHeadTop)
            return x >= kShaftLeft && x <= kShaftRight;
        // The head's half-width shrinks evenly from the full 16 on its first row to about one pixel on
        // the last, so the point is the two middle columns.
        const double halfWidth = (kSize / 2.0) * (kSize - y) / (kSize - kHeadTop);
        return std::abs(x + 0.5 - kSize / 2.0) <= halfWidth;
    });
    return picture;
}

QImage exitGlyphPicture() {
    constexpr int kSize = 50;
    constexpr double kCentre = kSize / 2.0;
    QImage picture = newIndexedPicture(kSize, kSize);
    fillWhere(picture, kYellowIndex, [](int x, int y) {
        const double radius = distanceFrom(x, y, kCentre, kCentre);
        // The ring opens at the top, where the bar comes in.
        const bool inGap = y + 0.5 < kCentre && std::abs(x + 0.5 - kCentre) < 9;
        const bool ring = radius >= 15 && radius <= 20 && !inGap;
        const bool bar = std::abs(x + 0.5 - kCentre) <= 3 && y >= 3 && y + 0.5 <= kCentre;
        return ring || bar;
    });
    return picture;
}

} // namespace qbv::artgen
