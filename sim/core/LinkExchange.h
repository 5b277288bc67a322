#pragma once

#include "sim/core/Frame.h"
#include "sim/core/SocketIo.h"

namespace qbv::sim {

// How an exchange ended: answered; no reply by the deadline, the connection still good (the reply may
// come later); or the connection broke (closed, an error, a malformed or half-received reply).
enum class Exchange { Answered, NoReply, Broken };

// Sends one request and waits for the reply of the expected type with the request's sequence, passing
// over replies to earlier requests, which come late.
Exchange exchangeFrames(Connection connection, const Frame& request, uint8_t replyType, Frame& reply,
                        Deadline deadline);
inline bool exchangeFrame(Connection connection, const Frame& request, uint8_t replyType, Frame& reply,
                          Deadline deadline) {
    return exchangeFrames(connection, request, replyType, reply, deadline) == Exchange::Answered;
}

// Sends a frame that gets no reply.
bool sendFrame(Connection connection, const Frame& frame, Deadline deadline);

// Receives the next whole frame.
Received receiveFrame(Connection connection, Frame& frame, Deadline deadline);

} // namespace qbv::sim
