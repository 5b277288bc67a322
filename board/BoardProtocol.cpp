#include "board/BoardProtocol.h"

#include "board/Invariant.h"
#include "board/Jtagport.h"
#include "common/Format.h"

namespace qbv::board {

namespace {

// Commands never pump window messages while they wait, so no handler can start a second one meanwhile.
constexpr bool kNoPump = false;

bool writeBytes(TJtagPort& port, const uint8_t* bytes, int32_t count) {
    return port.Write(bytes, count, kCommandTimeoutMs, kNoPump);
}

bool exchange(TJtagPort& port, int32_t command, uint8_t* data) {
    uint8_t buffer[2] = {static_cast<uint8_t>(command), 0};
    switch (command) {
    case kPing:
        return writeBytes(port, buffer, 1);
    case kSetLeds:
    case kSetGpioPin:
        buffer[1] = *data;
        return writeBytes(port, buffer, 2);
    case kReadKeys: {
        if (!writeBytes(port, buffer, 1))
            return false;
        const int32_t received = port.Read(buffer, 1, kCommandTimeoutMs, kNoPump);
        *data = buffer[0];
        return received != 0;
    }
    default:
        QBV_INVARIANT(false, "unknown board command");
        return false;
    }
}

} // namespace

std::string pressedKeysText(uint8_t keyState) {
    std::string words;
    for (int key = 0; key < kKeyCount; ++key)
        if (keyPressed(keyState, key))
            words += (words.empty() ? "" : " ") + keyLabel(key);
    return words.empty() ? "no key pressed" : words + " pressed";
}

std::string commandBytesText(int32_t command, uint8_t data) {
    const bool withData = command == kSetLeds || command == kSetGpioPin;
    return withData ? formatText("%02X %02X", static_cast<unsigned>(command), data)
                    : formatText("%02X", static_cast<unsigned>(command));
}

std::string commandWords(int32_t command, uint8_t data, uint8_t ledsBefore) {
    if (command == kSetGpioPin)
        return formatText("GPIO %d %s", pinOf(data), pinActive(data) ? "on" : "off");
    std::string words;
    for (int led = kLedCount; led >= 1; --led)
        if ((data ^ ledsBefore) & ledBit(led))
            words += (words.empty() ? "" : ", ") + ledLabel(led) + (data & ledBit(led) ? " on" : " off");
    return words.empty() ? "LEDs as they were" : words;
}

bool SendCommand(TJtagPort& port, int32_t command, uint8_t* data) {
    const TJtagPort::CommandInFlight held(port);
    return exchange(port, command, data);
}

} // namespace qbv::board
