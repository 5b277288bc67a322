#include "sim/core/LinkExchange.h"

namespace qbv::sim {

bool sendFrame(Connection connection, const Frame& frame, Deadline deadline) {
    const std::vector<uint8_t> bytes = encodeFrame(frame);
    return sendAll(connection, bytes.data(), bytes.size(), deadline);
}

Received receiveFrame(Connection connection, Frame& frame, Deadline deadline) {
    uint8_t header[wire::kHeaderSize];
    size_t length = 0;
    const Received headerReceived = receiveAll(connection, header, sizeof header, deadline);
    if (headerReceived != Received::All)
        return headerReceived;
    if (!payloadLength(header, length))
        return Received::Broken;
    frame.type = header[0];
    frame.sequence = readLittle16(header + 1);
    frame.payload.resize(length);
    // Once a header is in, the rest of its frame must follow: a stream cut mid-frame is out of step.
    if (length > 0 && receiveAll(connection, frame.payload.data(), length, deadline) != Received::All)
        return Received::Broken;
    return Received::All;
}

Exchange exchangeFrames(Connection connection, const Frame& request, uint8_t replyType, Frame& reply,
                        Deadline deadline) {
    if (!sendFrame(connection, request, deadline))
        return Exchange::Broken;
    for (;;) {
        const Received received = receiveFrame(connection, reply, deadline);
        if (received == Received::Nothing)
            return Exchange::NoReply;
        if (received == Received::Broken)
            return Exchange::Broken;
        if (reply.sequence != request.sequence)
            continue; // the late reply to an earlier request
        return reply.type == replyType && !reply.payload.empty() ? Exchange::Answered : Exchange::Broken;
    }
}

} // namespace qbv::sim
