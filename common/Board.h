#pragma once

#include <cstdint>
#include <string>

namespace qbv {

// The QB-vela board's user I/O, as printed on it: LED8 ... LED1, the GPIO header pins and BUTTON4 ...
// BUTTON1.
constexpr int kLedCount = 8;
constexpr int kPinCount = 88;
constexpr int kKeyCount = 4;

// An LED goes by the number printed beside it, everywhere: LEDn, n from 1 to 8, is bit n - 1 of the LED
// mask. A row of them, as the board, the window and its picture lay it out, begins at the left with LED8.
inline std::string ledLabel(int led) {
    return "LED" + std::to_string(led);
}
constexpr int ledMaskBit(int led) {
    return led - 1;
}
constexpr uint8_t ledBit(int led) {
    return static_cast<uint8_t>(1u << ledMaskBit(led));
}
// The LED at a place in the row, 0 the leftmost.
constexpr int ledAt(int place) {
    return kLedCount - place;
}

// Key k (bit k of the key state, 0 the rightmost) is BUTTON k + 1.
inline std::string keyLabel(int key) {
    return "BUTTON" + std::to_string(key + 1);
}

} // namespace qbv
