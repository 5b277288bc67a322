#pragma once

#include "platform/LocalChannel.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace qbv::sim {

using Deadline = std::chrono::steady_clock::time_point;
Deadline deadlineIn(int milliseconds);

// Connections to the board's local servers (Unix-domain sockets on POSIX, named pipes on Windows), usable
// from any process without Qt. Sending never raises SIGPIPE; every wait ends at its deadline.

using Connection = platform::LocalConnection;
using Opened = platform::LocalChannel::Opened;
// Connects to the server at the path: connection is kept when Yes, else platform::kNoConnection (NoServer:
// nobody listening, path too long; NotOurs: another user's process serves it, and is never talked to;
// Busy: a server is there but took no connection in time).
Opened connectLocal(const std::string& path, Connection& connection);
// The connection, or platform::kNoConnection whatever the reason.
Connection connectLocal(const std::string& path);
void closeSocket(Connection connection);
bool sendAll(Connection connection, const uint8_t* bytes, size_t count, Deadline deadline);
// How a receive ended: all bytes came; the deadline passed before the first of them; or the connection is
// of no more use (the peer closed, an error, or the deadline passed halfway through).
enum class Received { All, Nothing, Broken };
Received receiveAll(Connection connection, uint8_t* space, size_t count, Deadline deadline);
// Up to room bytes, as many as came first: their count, 0 when none came by the deadline, -1 when the
// connection is of no more use.
long long receiveSome(Connection connection, uint8_t* space, size_t room, Deadline deadline);
// False when the peer closed, an error occurred or the deadline passed before count bytes came.
inline bool receiveExactly(Connection connection, uint8_t* space, size_t count, Deadline deadline) {
    return receiveAll(connection, space, count, deadline) == Received::All;
}

// A connection that closes itself.
class LocalSocket {
public:
    LocalSocket() = default;
    ~LocalSocket() { close(); }
    LocalSocket(LocalSocket&& other) noexcept : connection_(other.connection_) {
        other.connection_ = platform::kNoConnection;
    }
    LocalSocket& operator=(LocalSocket&& other) noexcept;
    LocalSocket(const LocalSocket&) = delete;
    LocalSocket& operator=(const LocalSocket&) = delete;

    Opened connectTo(const std::string& path);
    bool isConnected() const { return connection_ != platform::kNoConnection; }
    Connection connection() const { return connection_; }
    void close();

private:
    Connection connection_ = platform::kNoConnection;
};

} // namespace qbv::sim
