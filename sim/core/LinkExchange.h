#pragma once

#include "sim/core/Frame.h"
#include "sim/core/SocketIo.h"

namespace qbv::sim {

// Sends one request and waits for the reply of the expected type with the request's sequence, passing
// over replies to earlier requests. False when the connection broke, a reply was malformed or the
// deadline passed.
bool exchangeFrame(int fd, const Frame& request, uint8_t replyType, Frame& reply, Deadline deadline);

// Sends a frame that gets no reply.
bool sendFrame(int fd, const Frame& frame, Deadline deadline);

// Receives the next whole frame.
bool receiveFrame(int fd, Frame& frame, Deadline deadline);

} // namespace qbv::sim
