#include "LocalChannel.h"

#include "Clock.h"

namespace qbv::platform {

namespace {

// What is left of the time-out since start, 0 once it has passed.
uint32_t remaining(uint32_t start, uint32_t timeoutMs) {
    const uint32_t elapsed = elapsedSince(start);
    return elapsed >= timeoutMs ? 0 : timeoutMs - elapsed;
}

} // namespace

LocalChannel::~LocalChannel() {
    close();
}

LocalChannel::Opened LocalChannel::open(const std::string& address, uint32_t timeoutMs) {
    close();
    return connectToOwnServer(address, connection_, timeoutMs);
}

bool LocalChannel::isOpen() const {
    return connection_ != kNoConnection;
}

void LocalChannel::close() {
    closeConnection(connection_);
    connection_ = kNoConnection;
    received_.clear();
}

bool sendAll(LocalConnection connection, const void* bytes, size_t count, uint32_t timeoutMs) {
    const uint32_t start = tickCount();
    for (size_t sent = 0; sent < count;) {
        const long long written = sendSome(connection, static_cast<const char*>(bytes) + sent, count - sent,
                                           remaining(start, timeoutMs));
        if (written <= 0)
            return false;
        sent += static_cast<size_t>(written);
    }
    return true;
}

bool LocalChannel::send(const std::string& bytes, uint32_t timeoutMs) {
    if (bytes.empty() || (isOpen() && sendAll(connection_, bytes.data(), bytes.size(), timeoutMs)))
        return true;
    close();
    return false;
}

bool LocalChannel::receiveSome(uint32_t timeoutMs) {
    char buffer[4096];
    const long long got =
        isOpen() ? platform::receiveSome(connection_, buffer, sizeof buffer, timeoutMs) : -1;
    if (got < 0)
        close();
    if (got <= 0)
        return false;
    received_.append(std::string_view(buffer, static_cast<size_t>(got)));
    return true;
}

bool LocalChannel::receiveLine(std::string& line, uint32_t timeoutMs) {
    const uint32_t start = tickCount();
    while (!received_.takeLine(line)) {
        if (received_.overflowed()) {
            close();
            return false;
        }
        if (!receiveSome(remaining(start, timeoutMs)))
            return false;
    }
    return true;
}

} // namespace qbv::platform
