#include "sim/core/FrameDecoder.h"

#include <algorithm>

namespace qbv::sim {

void FrameDecoder::feed(const uint8_t* bytes, size_t count) {
    if (failed_ || bytes == nullptr)
        return;
    buffer_.insert(buffer_.end(), bytes, bytes + count);
}

std::optional<Frame> FrameDecoder::next() {
    if (failed_ || buffer_.size() < wire::kHeaderSize)
        return std::nullopt;
    uint8_t header[wire::kHeaderSize];
    std::copy_n(buffer_.begin(), wire::kHeaderSize, header);
    size_t length = 0;
    if (!payloadLength(header, length)) {
        failed_ = true;
        buffer_.clear();
        return std::nullopt;
    }
    if (buffer_.size() < wire::kHeaderSize + length)
        return std::nullopt;
    Frame frame;
    frame.type = header[0];
    frame.sequence = readLittle16(header + 1);
    const auto payloadStart = buffer_.begin() + wire::kHeaderSize;
    frame.payload.assign(payloadStart, payloadStart + static_cast<std::ptrdiff_t>(length));
    buffer_.erase(buffer_.begin(), payloadStart + static_cast<std::ptrdiff_t>(length));
    return frame;
}

} // namespace qbv::sim
