// The layout table against the window's published geometry: the controls must land on the parts of the
// board picture they stand for, and every click must land on exactly one control.

#include "resources/BoardLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace qbv::layout;
using qbv::kLedCount;
using qbv::kPinCount;

namespace {

bool overlap(const Rect& a, const Rect& b) {
    return a.left < b.right() && b.left < a.right() && a.top < b.bottom() && b.top < a.bottom();
}

std::vector<Rect> ioButtons() {
    std::vector<Rect> rects;
    for (const Rect& led : placedLedButtons())
        rects.push_back(led);
    for (const PinButton& pin : placedGpioButtons())
        rects.push_back(pin.rect);
    return rects;
}

std::vector<int> sortedUnique(std::vector<int> values) {
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    return values;
}

} // namespace

TEST(LayoutGeometry, LedButtonsSitOverTheEightLeds) {
    const std::array<int, kLedCount> lefts = {382, 422, 462, 497, 537, 577, 617, 657};
    const auto leds = placedLedButtons();
    for (int led = 0; led < kLedCount; ++led) {
        SCOPED_TRACE(led);
        EXPECT_EQ(leds[led], (Rect{lefts[led], 352, 29, 64}));
    }
}

TEST(LayoutGeometry, GpioButtonsFollowBothGrids) {
    const std::vector<int> aLefts = {239, 262, 285, 308, 331, 354, 377, 400, 423, 446,
                                     470, 493, 516, 539, 562, 585, 608, 631, 654, 677};
    const std::vector<int> aTops = {13, 36, 59, 82, 106, 129, 152};
    const std::vector<int> bLefts = {677, 700, 723, 746};
    const std::vector<int> bTops = {129, 152, 175, 198, 221, 244};
    const std::vector<PinButton> pins = placedGpioButtons();
    for (const PinButton& pin : pins) {
        SCOPED_TRACE(pin.pin);
        const bool gridA = pin.pin < 68;
        EXPECT_EQ(pin.rect.left, (gridA ? aLefts : bLefts).at(pin.column));
        EXPECT_EQ(pin.rect.top, (gridA ? aTops : bTops).at(pin.row));
        EXPECT_EQ(pin.rect.width, 21);
        EXPECT_EQ(pin.rect.height, 21);
    }
}

TEST(LayoutGeometry, PinsAreNumberedRowByRowWithoutGap) {
    struct Run {
        int first;
        int last;
        int row;
        std::vector<int> columns;
    };
    const std::vector<Run> table = {
        {0, 17, 0, {0, 1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12, 13, 15, 16, 17, 18, 19}},
        {18, 35, 1, {0, 1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12, 13, 15, 16, 17, 18, 19}},
        {36, 55, 2, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}},
        {56, 58, 3, {6, 7, 8}},
        {59, 61, 4, {6, 7, 8}},
        {62, 64, 5, {6, 7, 8}},
        {65, 67, 6, {6, 7, 8}},
        {68, 69, 0, {0, 1}},
        {70, 73, 1, {0, 1, 2, 3}},
        {74, 77, 2, {0, 1, 2, 3}},
        {78, 81, 3, {0, 1, 2, 3}},
        {82, 85, 4, {0, 1, 2, 3}},
        {86, 87, 5, {0, 1}},
    };
    const std::vector<PinButton> pins = placedGpioButtons();
    ASSERT_EQ(pins.size(), static_cast<size_t>(kPinCount));
    EXPECT_EQ(std::count_if(pins.begin(), pins.end(), [](const PinButton& p) { return p.pin < 68; }), 68);
    for (const Run& run : table) {
        for (int pin = run.first; pin <= run.last; ++pin) {
            SCOPED_TRACE(pin);
            EXPECT_EQ(pins[pin].pin, pin);
            EXPECT_EQ(pins[pin].row, run.row);
            EXPECT_EQ(pins[pin].column, run.columns.at(static_cast<size_t>(pin - run.first)));
        }
    }
}

TEST(LayoutGeometry, GridCellsAreEqualSquares) {
    std::vector<int> widths;
    for (const PinButton& pin : placedGpioButtons())
        widths.push_back(pin.rect.width * 100 + pin.rect.height);
    EXPECT_EQ(sortedUnique(widths), std::vector<int>{2121});
}

TEST(LayoutGeometry, NoTwoIoButtonsOverlap) {
    const std::vector<Rect> buttons = ioButtons();
    ASSERT_EQ(buttons.size(), 96u);
    for (size_t i = 0; i < buttons.size(); ++i) {
        for (size_t j = i + 1; j < buttons.size(); ++j)
            EXPECT_FALSE(overlap(buttons[i], buttons[j])) << "buttons " << i << " and " << j;
    }
}

TEST(LayoutGeometry, VisibleComponentsOverlapNeitherEachOtherNorTheIoButtons) {
    std::vector<Component> visible;
    for (const Component& c : kComponents) {
        if (c.visible && c.kind != Kind::Timer && c.id != ImageBoard)
            visible.push_back(c);
    }
    const std::vector<Rect> buttons = ioButtons();
    for (size_t i = 0; i < visible.size(); ++i) {
        for (size_t j = i + 1; j < visible.size(); ++j)
            EXPECT_FALSE(overlap(visible[i].rect, visible[j].rect))
                << visible[i].name << " / " << visible[j].name;
        for (const Rect& button : buttons)
            EXPECT_FALSE(overlap(visible[i].rect, button)) << visible[i].name;
    }
}

TEST(LayoutGeometry, KeysRunFromTheRightmostBox) {
    std::vector<int> lefts;
    for (const ComponentId key : szPainBox)
        lefts.push_back(component(key).rect.left);
    EXPECT_EQ(lefts, (std::vector<int>{646, 565, 480, 400}));
    for (const ComponentId key : szPainBox)
        EXPECT_EQ(component(key).rect, (Rect{component(key).rect.left, 448, 40, 40}));
}
