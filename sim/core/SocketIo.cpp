#include "sim/core/SocketIo.h"

#include <cerrno>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace qbv::sim {

namespace {

int millisecondsLeft(Deadline deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now())
            .count();
    return left <= 0 ? 0 : static_cast<int>(left);
}

// True when the socket is ready for the event before the deadline.
bool waitFor(int fd, short event, Deadline deadline) {
    for (;;) {
        pollfd entry{fd, event, 0};
        const int result = ::poll(&entry, 1, millisecondsLeft(deadline));
        if (result > 0)
            return true;
        if (result == 0 || errno != EINTR)
            return false;
    }
}

} // namespace

Deadline deadlineIn(int milliseconds) {
    return std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
}

Opened connectLocal(const std::string& path, int& fd) {
    return platform::connectToOwnServer(path, fd);
}

int connectLocal(const std::string& path) {
    int fd = -1;
    connectLocal(path, fd);
    return fd;
}

void closeSocket(int fd) {
    if (fd >= 0)
        ::close(fd);
}

bool sendAll(int fd, const uint8_t* bytes, size_t count, Deadline deadline) {
    size_t sent = 0;
    while (sent < count) {
        const ssize_t result = ::send(fd, bytes + sent, count - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (result > 0) {
            sent += static_cast<size_t>(result);
            continue;
        }
        const bool retry = result < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK);
        if (!retry || !waitFor(fd, POLLOUT, deadline))
            return false;
    }
    return true;
}

Received receiveAll(int fd, uint8_t* space, size_t count, Deadline deadline) {
    size_t received = 0;
    while (received < count) {
        const ssize_t result = ::recv(fd, space + received, count - received, MSG_DONTWAIT);
        if (result > 0) {
            received += static_cast<size_t>(result);
            continue;
        }
        if (result == 0)
            return Received::Broken; // the peer closed
        const bool retry = errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK;
        if (!retry)
            return Received::Broken;
        if (!waitFor(fd, POLLIN, deadline))
            return received == 0 ? Received::Nothing : Received::Broken;
    }
    return Received::All;
}

LocalSocket& LocalSocket::operator=(LocalSocket&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

Opened LocalSocket::connectTo(const std::string& path) {
    close();
    return connectLocal(path, fd_);
}

void LocalSocket::close() {
    closeSocket(fd_);
    fd_ = -1;
}

} // namespace qbv::sim
