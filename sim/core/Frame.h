#pragma once

#include "sim/core/WireProtocol.h"

#include <cstdint>
#include <vector>

namespace qbv::sim {

// One message of the link protocol.
struct Frame {
    uint8_t type = 0;
    uint16_t sequence = 0;
    std::vector<uint8_t> payload;

    bool operator==(const Frame&) const = default;
};

// The frame as it goes over the socket. A payload over the limit is cut to it.
std::vector<uint8_t> encodeFrame(const Frame& frame);

// Reads the header's payload length; false when it is over the limit.
bool payloadLength(const uint8_t* header, size_t& length);

uint16_t readLittle16(const uint8_t* bytes);
void appendLittle16(std::vector<uint8_t>& bytes, uint16_t value);

} // namespace qbv::sim
