#include "sim/core/SocketIo.h"

namespace qbv::sim {

namespace {

uint32_t millisecondsLeft(Deadline deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now())
            .count();
    return left <= 0 ? 0 : static_cast<uint32_t>(left);
}

} // namespace

Deadline deadlineIn(int milliseconds) {
    return std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
}

Opened connectLocal(const std::string& path, Connection& connection) {
    return platform::connectToOwnServer(path, connection);
}

Connection connectLocal(const std::string& path) {
    Connection connection = platform::kNoConnection;
    connectLocal(path, connection);
    return connection;
}

void closeSocket(Connection connection) {
    platform::closeConnection(connection);
}

bool sendAll(Connection connection, const uint8_t* bytes, size_t count, Deadline deadline) {
    return platform::sendAll(connection, bytes, count, millisecondsLeft(deadline));
}

long long receiveSome(Connection connection, uint8_t* space, size_t room, Deadline deadline) {
    return platform::receiveSome(connection, space, room, millisecondsLeft(deadline));
}

Received receiveAll(Connection connection, uint8_t* space, size_t count, Deadline deadline) {
    for (size_t received = 0; received < count;) {
        const long long result =
            platform::receiveSome(connection, space + received, count - received, millisecondsLeft(deadline));
        if (result < 0)
            return Received::Broken;
        if (result == 0)
            return received == 0 ? Received::Nothing : Received::Broken;
        received += static_cast<size_t>(result);
    }
    return Received::All;
}

LocalSocket& LocalSocket::operator=(LocalSocket&& other) noexcept {
    if (this != &other) {
        close();
        connection_ = other.connection_;
        other.connection_ = platform::kNoConnection;
    }
    return *this;
}

Opened LocalSocket::connectTo(const std::string& path) {
    close();
    return connectLocal(path, connection_);
}

void LocalSocket::close() {
    closeSocket(connection_);
    connection_ = platform::kNoConnection;
}

} // namespace qbv::sim
