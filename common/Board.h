#pragma once

#include <string>

namespace qbv {

// The QB-vela board's user I/O, as printed on it: LED8 ... LED1, the GPIO header pins and BUTTON4 ...
// BUTTON1.
constexpr int kLedCount = 8;
constexpr int kPinCount = 88;
constexpr int kKeyCount = 4;

// The names printed on the board. LED i (0 the leftmost) is LED8 - i and bit 7 - i of the LED mask; key k
// (bit k of the key state, 0 the rightmost) is BUTTON k + 1.
inline std::string ledLabel(int led) {
    return "LED" + std::to_string(kLedCount - led);
}
inline int ledMaskBit(int led) {
    return kLedCount - 1 - led;
}
inline std::string keyLabel(int key) {
    return "BUTTON" + std::to_string(key + 1);
}

} // namespace qbv
