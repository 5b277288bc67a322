#include "sim/core/LinkExchange.h"

namespace qbv::sim {

bool sendFrame(int fd, const Frame& frame, Deadline deadline) {
    const std::vector<uint8_t> bytes = encodeFrame(frame);
    return sendAll(fd, bytes.data(), bytes.size(), deadline);
}

bool receiveFrame(int fd, Frame& frame, Deadline deadline) {
    uint8_t header[wire::kHeaderSize];
    size_t length = 0;
    if (!receiveExactly(fd, header, sizeof header, deadline) || !payloadLength(header, length))
        return false;
    frame.type = header[0];
    frame.sequence = readLittle16(header + 1);
    frame.payload.resize(length);
    return length == 0 || receiveExactly(fd, frame.payload.data(), length, deadline);
}

bool exchangeFrame(int fd, const Frame& request, uint8_t replyType, Frame& reply, Deadline deadline) {
    if (!sendFrame(fd, request, deadline))
        return false;
    for (;;) {
        if (!receiveFrame(fd, reply, deadline))
            return false;
        if (reply.sequence != request.sequence)
            continue; // the late reply to an earlier request
        return reply.type == replyType && !reply.payload.empty();
    }
}

} // namespace qbv::sim
