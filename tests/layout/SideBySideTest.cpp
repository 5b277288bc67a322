// Where the demo puts the board's and the panel's windows, on screens from wide to too narrow for both.

#include "resources/SideBySide.h"

#include <gtest/gtest.h>

using qbv::layout::SideBySide;

TEST(SideBySideTest, TheBoardLeftOfThePanelAsTheScreenAllows) {
    // Frames 8 pixels wider than the 775 and 774 of the board's and the panel's insides.
    const struct {
        const char* screen;
        int areaLeft, areaWidth;
        SideBySide expected;
    } cases[] = {
        {"wide enough for both: the pair centred", 0, 1920, {177, 783, 960}},
        {"1280: the board shrunk to the room, the panel at the right edge", 0, 1280, {0, 498, 498}},
        {"a task bar on the left of a second screen", 1968, 1232, {1968, 450, 2418}},
        {"1024: the least board, the panel over its edge", 0, 1024, {0, 392, 242}},
        {"narrower than the panel: the panel at the area's left", 0, 640, {0, 392, 0}},
    };
    for (const auto& c : cases) {
        const SideBySide places = qbv::layout::sideBySide(c.areaLeft, c.areaWidth, 783, 782);
        EXPECT_EQ(places, c.expected)
            << c.screen << ": " << places.boardLeft << ' ' << places.boardWidth << ' ' << places.panelLeft;
    }
}
