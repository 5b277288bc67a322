#include "LocalChannel.h"

#include "Clock.h"
#include "Files.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace qbv::platform {

namespace {

// How often a server whose queue is full is asked again while open waits.
constexpr uint32_t kBusyRetryMs = 10;

// Waits for the event until the time-out, from start on the system's clock; false when the time ran out.
bool ready(int socket, short events, uint32_t start, uint32_t timeoutMs) {
    pollfd watched{socket, events, 0};
    for (;;) {
        const uint32_t elapsed = static_cast<uint32_t>(systemClock().tickCount() - start);
        const int left = elapsed >= timeoutMs ? 0 : static_cast<int>(timeoutMs - elapsed);
        const int result = ::poll(&watched, 1, left);
        if (result > 0)
            return true;
        if (result == 0 || errno != EINTR)
            return false;
    }
}

// Repeats a step that would block until it moves bytes, the connection fails or the time runs out.
template <typename Step>
long long moveSome(LocalConnection connection, short events, uint32_t timeoutMs, Step step) {
    const uint32_t start = systemClock().tickCount();
    for (;;) {
        const ssize_t moved = step();
        if (moved > 0)
            return moved;
        if (moved == 0)
            return -1; // the server hung up
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            return -1;
        if (!ready(static_cast<int>(connection), events, start, timeoutMs))
            return 0;
    }
}

// What an entry that is not a socket of this user's is, in words.
std::string kindOf(const struct stat& entry) {
    if (S_ISSOCK(entry.st_mode))
        return "another user's socket (uid " + std::to_string(entry.st_uid) + ")";
    if (S_ISREG(entry.st_mode))
        return "a plain file";
    if (S_ISDIR(entry.st_mode))
        return "a folder";
    if (S_ISLNK(entry.st_mode))
        return "a symbolic link";
    return "a special file";
}

} // namespace

std::string localServerAddress(const std::string& name, std::string* refusal) {
    const std::string folder = userRuntimeFolder(refusal);
    return folder.empty() ? std::string() : folder + "/" + name;
}

bool peerIsOwnUser(LocalConnection connection) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return getsockopt(static_cast<int>(connection), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 &&
           peer.uid == geteuid();
}

bool clearServerLeftover(const std::string& address, std::string& refusal) {
    struct stat entry {};
    // Nothing there, nothing that may be looked at, or a socket that may not be removed: listening there
    // then says what is wrong.
    if (address.empty() || ::lstat(address.c_str(), &entry) != 0)
        return true;
    if (S_ISSOCK(entry.st_mode) && entry.st_uid == geteuid()) {
        ::unlink(address.c_str());
        return true;
    }
    refusal = address + " is " + kindOf(entry) + ", not a socket of yours, and is left as it is.";
    return false;
}

LocalChannel::Opened connectToOwnServer(const std::string& path, LocalConnection& connection,
                                        uint32_t timeoutMs) {
    connection = kNoConnection;
    sockaddr_un where{};
    where.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof where.sun_path)
        return LocalChannel::Opened::NoServer;
    path.copy(where.sun_path, path.size());
    // A blocking connect to a server whose queue is full waits until the server accepts, which a stopped
    // server never does. Linux answers a connect without blocking at once, with EAGAIN while the queue is
    // full: it is tried again until the time-out.
    const uint32_t start = systemClock().tickCount();
    int connected = -1;
    for (;;) {
        connected = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (connected < 0)
            return LocalChannel::Opened::NoServer;
        if (::connect(connected, reinterpret_cast<const sockaddr*>(&where), sizeof where) == 0)
            break;
        const int why = errno;
        ::close(connected);
        if (why != EAGAIN && why != EINTR)
            return LocalChannel::Opened::NoServer;
        const uint32_t elapsed = static_cast<uint32_t>(systemClock().tickCount() - start);
        if (elapsed >= timeoutMs)
            return LocalChannel::Opened::Busy;
        systemClock().sleep(std::min(kBusyRetryMs, timeoutMs - elapsed));
    }
    // The steps after it wait with poll, each until its own time-out; the socket blocks as before.
    ::fcntl(connected, F_SETFL, ::fcntl(connected, F_GETFL) & ~O_NONBLOCK);
    // Whoever made the socket, only a server of this user's is talked to.
    if (!peerIsOwnUser(connected)) {
        ::close(connected);
        return LocalChannel::Opened::NotOurs;
    }
    connection = connected;
    return LocalChannel::Opened::Yes;
}

void closeConnection(LocalConnection connection) {
    if (connection >= 0)
        ::close(static_cast<int>(connection));
}

long long sendSome(LocalConnection connection, const void* bytes, size_t count, uint32_t timeoutMs) {
    return moveSome(connection, POLLOUT, timeoutMs, [&] {
        return ::send(static_cast<int>(connection), bytes, count, MSG_NOSIGNAL | MSG_DONTWAIT);
    });
}

long long receiveSome(LocalConnection connection, void* space, size_t room, uint32_t timeoutMs) {
    return moveSome(connection, POLLIN, timeoutMs,
                    [&] { return ::recv(static_cast<int>(connection), space, room, MSG_DONTWAIT); });
}

} // namespace qbv::platform
