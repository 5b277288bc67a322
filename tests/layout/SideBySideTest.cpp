// Where the demo puts the board's and the panel's windows: side by side on screens from 1280 pixels wide,
// the board shrunk only as far as the room beside the panel needs, and never below its least size.

#include "resources/SideBySide.h"

#include <gtest/gtest.h>

using qbv::layout::SideBySide;
using qbv::layout::sideBySide;

namespace {

struct Case {
    const char* screen;
    int areaLeft, areaWidth, boardWidth, panelWidth;
    SideBySide expected;
};

// Frames as the panel and the board have them: 774 and 775 pixels wide inside, 8 more with a border.
const Case kCases[] = {
    {"wide enough for both: the pair centred", 0, 1920, 783, 782, {177, 783, 960}},
    {"exactly wide enough", 0, 1565, 783, 782, {0, 783, 783}},
    {"1280: the board shrunk to the room, the panel at the right edge", 0, 1280, 783, 782, {0, 498, 498}},
    {"a second screen right of the first", 1920, 1280, 783, 782, {1920, 498, 2418}},
    {"a task bar on the left", 48, 1232, 775, 774, {48, 458, 506}},
    {"1024: the least board, the panel over its edge", 0, 1024, 783, 782, {0, 392, 242}},
    {"narrower than the panel: the panel at the area's left", 0, 640, 783, 782, {0, 392, 0}},
};

} // namespace

TEST(SideBySideTest, TheBoardLeftOfThePanelAsTheScreenAllows) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.screen);
        const SideBySide places = sideBySide(c.areaLeft, c.areaWidth, c.boardWidth, c.panelWidth);
        EXPECT_EQ(places, c.expected) << places.boardLeft << ' ' << places.boardWidth << ' ' << places.panelLeft;
        // Where both fit, neither lies under the other and both are on the screen.
        if (c.areaWidth >= c.panelWidth + c.boardWidth / 2) {
            EXPECT_LE(places.boardLeft + places.boardWidth, places.panelLeft);
            EXPECT_GE(places.boardLeft, c.areaLeft);
            EXPECT_LE(places.panelLeft + c.panelWidth, c.areaLeft + c.areaWidth);
        }
    }
}
