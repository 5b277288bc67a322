#pragma once

#include "board/BoardProtocol.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace qbv::test {

// What goes over the wire for a command and its data byte: the table every front end is checked against.
struct CommandBytes {
    int32_t command;
    uint8_t data;
    std::vector<uint8_t> bytes;
};

inline const std::vector<CommandBytes> kCommandBytes = {
    {board::kPing, 0x00, {0x00}},
    {board::kSetLeds, ledBit(8) | ledBit(1), {0x01, 0x81}},
    {board::kSetLeds, 0x00, {0x01, 0x00}},
    {board::kSetLeds, ledBit(8), {0x01, 0x80}},
    {board::kSetGpioPin, board::pinByte(87, true), {0x05, 0xD7}},
    {board::kSetGpioPin, board::pinByte(0, false), {0x05, 0x00}},
    {board::kSetGpioPin, board::pinByte(68, true), {0x05, 0xC4}},
    {board::kSetGpioPin, board::pinByte(5, true), {0x05, 0x85}},
};

// "Bytes_01_81": a test name for an example.
inline std::string bytesName(const CommandBytes& example) {
    std::string name = "Bytes";
    for (uint8_t byte : example.bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "_%02X", byte);
        name += hex;
    }
    return name;
}

} // namespace qbv::test
