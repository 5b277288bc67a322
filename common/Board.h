#pragma once

namespace qbv {

// The QB-vela board's user I/O, as printed on it: LED8 ... LED1, the GPIO header pins and BUTTON4 ...
// BUTTON1.
constexpr int kLedCount = 8;
constexpr int kPinCount = 88;
constexpr int kKeyCount = 4;

} // namespace qbv
