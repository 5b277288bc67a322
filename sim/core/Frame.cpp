#include "sim/core/Frame.h"

#include <algorithm>

namespace qbv::sim {

uint16_t readLittle16(const uint8_t* bytes) {
    return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
}

void appendLittle16(std::vector<uint8_t>& bytes, uint16_t value) {
    bytes.push_back(static_cast<uint8_t>(value & 0xFF));
    bytes.push_back(static_cast<uint8_t>(value >> 8));
}

std::vector<uint8_t> encodeFrame(const Frame& frame) {
    const size_t length = std::min(frame.payload.size(), wire::kMaxPayload);
    std::vector<uint8_t> bytes;
    bytes.reserve(wire::kHeaderSize + length);
    bytes.push_back(frame.type);
    appendLittle16(bytes, frame.sequence);
    appendLittle16(bytes, static_cast<uint16_t>(length));
    bytes.insert(bytes.end(), frame.payload.begin(),
                 frame.payload.begin() + static_cast<std::ptrdiff_t>(length));
    return bytes;
}

bool payloadLength(const uint8_t* header, size_t& length) {
    length = readLittle16(header + 3);
    return length <= wire::kMaxPayload;
}

} // namespace qbv::sim
