#pragma once

#include "platform/LocalChannel.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace qbv::sim {

using Deadline = std::chrono::steady_clock::time_point;
Deadline deadlineIn(int milliseconds);

// Plain POSIX stream sockets, usable from any process without Qt. Sending never raises SIGPIPE; every
// wait ends at its deadline.

using Opened = platform::LocalChannel::Opened;
// Connects to the socket at the path: fd is the connection when Yes, else -1 (NoServer: no such socket,
// nobody listening, path too long; NotOurs: another user's process serves it, and is never talked to).
Opened connectLocal(const std::string& path, int& fd);
// The connection, or -1 whatever the reason.
int connectLocal(const std::string& path);
void closeSocket(int fd);
bool sendAll(int fd, const uint8_t* bytes, size_t count, Deadline deadline);
// How a receive ended: all bytes came; the deadline passed before the first of them; or the connection is
// of no more use (the peer closed, an error, or the deadline passed halfway through).
enum class Received { All, Nothing, Broken };
Received receiveAll(int fd, uint8_t* space, size_t count, Deadline deadline);
// False when the peer closed, an error occurred or the deadline passed before count bytes came.
inline bool receiveExactly(int fd, uint8_t* space, size_t count, Deadline deadline) {
    return receiveAll(fd, space, count, deadline) == Received::All;
}

// A socket that closes itself.
class LocalSocket {
public:
    LocalSocket() = default;
    ~LocalSocket() { close(); }
    LocalSocket(LocalSocket&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    LocalSocket& operator=(LocalSocket&& other) noexcept;
    LocalSocket(const LocalSocket&) = delete;
    LocalSocket& operator=(const LocalSocket&) = delete;

    Opened connectTo(const std::string& path);
    bool isConnected() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    void close();

private:
    int fd_ = -1;
};

} // namespace qbv::sim
