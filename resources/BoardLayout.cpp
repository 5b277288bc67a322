#include "resources/BoardLayout.h"

namespace qbv::layout {

// Layout arithmetic is signed integer division truncating toward zero, products before divisions.

Rect ledButtonRect(const Rect& paintBox, int led) {
    const int column = paintBox.width / kLedCount;
    int left = paintBox.left + (paintBox.width * led) / kLedCount;
    int right = left + column;
    const int widen = (28 - column) / 2;
    left -= widen;
    right += widen;
    left += kLedNudge[led];
    right += kLedNudge[led];
    return {left, paintBox.top, right - left, paintBox.height};
}

bool gridAHoldsPin(int column, int row) {
    const bool gapInTopRows = (column == 5 || column == 14) && row <= 1;
    const bool outsideTheStem = row >= 3 && (column <= 5 || column >= 9);
    return !gapInTopRows && !outsideTheStem;
}

bool gridBHoldsPin(int column, int row) {
    return !(column >= 2 && (row == 0 || row == 5));
}

std::vector<PinButton> gpioButtons(const GpioGrid& grid, const Rect& paintBox, int firstPin) {
    const int cellWidth = paintBox.width / grid.columns;
    const int cellHeight = paintBox.height / grid.rows;
    std::vector<PinButton> buttons;
    int pin = firstPin;
    for (int row = 0; row < grid.rows; ++row) {
        for (int column = 0; column < grid.columns; ++column) {
            if (!grid.holdsPin(column, row))
                continue;
            const int left = paintBox.left + (paintBox.width * column) / grid.columns;
            const int top = paintBox.top + (paintBox.height * row) / grid.rows;
            // The cell, inset by one pixel on every side.
            buttons.push_back({pin++, column, row, {left + 1, top + 1, cellWidth - 2, cellHeight - 2}});
        }
    }
    return buttons;
}

std::vector<PinButton> placedGpioButtons() {
    std::vector<PinButton> all = gpioButtons(kGridA, kPaintBoxGPIOaPlaced, 0);
    const std::vector<PinButton> b = gpioButtons(kGridB, kPaintBoxGPIObPlaced, static_cast<int>(all.size()));
    all.insert(all.end(), b.begin(), b.end());
    return all;
}

std::string gpioLabel(int gpio) {
    // Laid out once: the window asks for every pin's label as it starts.
    static const std::vector<PinButton> placed = placedGpioButtons();
    static const int inGridA = static_cast<int>(gpioButtons(kGridA, kPaintBoxGPIOaPlaced, 0).size());
    const PinButton& pin = placed.at(static_cast<size_t>(gpio));
    return "GPIO " + std::to_string(gpio) + ": header " + (gpio < inGridA ? "J2" : "J3") + ", picture row " +
           std::to_string(pin.row + 1) + ", column " + std::to_string(pin.column + 1);
}

std::array<Rect, kLedCount> placedLedButtons() {
    std::array<Rect, kLedCount> rects{};
    for (int led = 0; led < kLedCount; ++led)
        rects[led] = ledButtonRect(kPaintBoxLedPlaced, led);
    return rects;
}

} // namespace qbv::layout
