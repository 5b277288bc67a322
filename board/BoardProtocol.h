#pragma once

#include "common/Board.h"

#include <cstdint>
#include <string>

class TJtagPort;

// The board controller's command set: one command byte, then at most one data byte; only read keys is
// answered. No framing, no acknowledgement: commands go strictly one at a time.
namespace qbv::board {

enum Command : int32_t {
    kPing = 0,
    kSetLeds = 1,
    kSetGpioPin = 5,
    kReadKeys = 6,
};

constexpr uint32_t kCommandTimeoutMs = 3000;
// The keys are read again this long after the previous read ended, for as long as the board answers.
constexpr uint32_t kPollIntervalMs = 20;

// Pin index in bits 0-6, bit 7 set for an active pin; and the two read back from the byte.
constexpr uint8_t pinByte(int pin, bool active) {
    return static_cast<uint8_t>((pin & 0x7F) | (active ? 0x80 : 0x00));
}
constexpr int pinOf(uint8_t pinByte) {
    return pinByte & 0x7F;
}
constexpr bool pinActive(uint8_t pinByte) {
    return (pinByte & 0x80) != 0;
}

// Key k is pressed when bit k of the key state is set; bits 4-7 mean nothing.
constexpr bool keyPressed(uint8_t keyState, int key) {
    return (keyState >> key) & 1u;
}

// "BUTTON1 BUTTON3 pressed", or "no key pressed".
std::string pressedKeysText(uint8_t keyState);

// The bytes a command sends, in hex ("01 81"), for logs.
std::string commandBytesText(int32_t command, uint8_t data);

// What an LED or pin command does, as a user says it: "LED8 on", "LED8 off, LED1 on" (from the LEDs lit
// before), "GPIO 17 on".
std::string commandWords(int32_t command, uint8_t data, uint8_t ledsBefore);

// Exchanges one command over an open port. data is the LED mask (1) or pin byte (5) to send, or receives
// the key state (6) when the result is true. The port holds the command in flight for the exchange; a
// command started while another is, or an unknown command number, stops the program.
bool SendCommand(TJtagPort& port, int32_t command, uint8_t* data);

} // namespace qbv::board
