#include "LocalChannel.h"

#include "Clock.h"
#include "Files.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
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

// The log's words for a failure to listen, as the panel has always given them.
std::string listenError(int error) {
    std::string why;
    switch (error) {
    case EACCES:
        why = "Permission denied";
        break;
    case ELOOP:
    case ENOENT:
    case ENAMETOOLONG:
    case EROFS:
    case ENOTDIR:
        why = "Name error";
        break;
    case EADDRINUSE:
        why = "Address in use";
        break;
    default:
        why = "Unknown error " + std::to_string(error);
    }
    return "QLocalServer::listen: " + why;
}

// A listening socket at the path, with a mode for the user alone, or -1 with errno set.
int listenAt(const std::string& path) {
    sockaddr_un where{};
    where.sun_family = AF_UNIX;
    path.copy(where.sun_path, path.size());
    const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (listener < 0)
        return -1;
    // Room for every script that one panel may be asked by at once.
    constexpr int kBacklog = 50;
    if (::bind(listener, reinterpret_cast<const sockaddr*>(&where), sizeof where) == 0 &&
        ::listen(listener, kBacklog) == 0 && ::chmod(path.c_str(), S_IRWXU) == 0)
        return listener;
    const int why = errno;
    ::close(listener);
    errno = why;
    return -1;
}

// The same at the address, made in a new folder of its own, where no other user may reach it before its
// mode is set, and then moved to the address whole.
int listenPrivately(const std::string& address) {
    const size_t slash = address.rfind('/');
    std::string folder = address.substr(0, slash == std::string::npos ? 0 : slash + 1) + "XXXXXX";
    if (std::max(address.size(), folder.size() + 2) >= sizeof sockaddr_un::sun_path) {
        errno = ENAMETOOLONG;
        return -1;
    }
    if (!::mkdtemp(folder.data()))
        return -1;
    const std::string path = folder + "/s";
    int listener = listenAt(path);
    int why = errno;
    if (listener >= 0 && ::rename(path.c_str(), address.c_str()) != 0) {
        why = errno;
        ::close(listener);
        listener = -1;
    }
    ::unlink(path.c_str()); // already gone once moved
    ::rmdir(folder.c_str());
    errno = why;
    return listener;
}

} // namespace

struct LocalListener::State {
    int socket = -1;
    std::string address;
};

LocalListener::LocalListener() = default;

LocalListener::~LocalListener() {
    close();
}

bool LocalListener::listen(const std::string& address, std::string& error) {
    close();
    const int listener = listenPrivately(address);
    if (listener < 0)
        return (error = listenError(errno)), false;
    state_ = std::make_unique<State>(State{listener, address});
    return true;
}

bool LocalListener::listening() const {
    return state_ != nullptr;
}

LocalConnection LocalListener::accept() {
    for (; state_;) {
        const int client = ::accept4(state_->socket, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (client >= 0)
            return client;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            break;
        if (errno != EINTR && errno != ECONNABORTED)
            close();
    }
    return kNoConnection;
}

std::vector<Waitable> LocalListener::waitables() const {
    return state_ ? std::vector<Waitable>{state_->socket} : std::vector<Waitable>{};
}

void LocalListener::close() {
    if (!state_)
        return;
    ::close(state_->socket);
    ::unlink(state_->address.c_str());
    state_.reset();
}

struct ServedConnection::State {
    LocalConnection connection;
};

ServedConnection::ServedConnection(LocalConnection connection)
    : state_(std::make_unique<State>(State{connection})) {}

ServedConnection::~ServedConnection() {
    closeConnection(state_->connection);
}

LocalConnection ServedConnection::connection() const {
    return state_->connection;
}

long long ServedConnection::receiveNow(std::string& bytes) {
    char buffer[4096];
    const long long got = receiveSome(state_->connection, buffer, sizeof buffer, 0);
    if (got > 0)
        bytes.append(buffer, static_cast<size_t>(got));
    return got;
}

long long ServedConnection::sendNow(const void* bytes, size_t count) {
    return sendSome(state_->connection, bytes, count, 0);
}

bool ServedConnection::allSent() {
    return true;
}

Waitable ServedConnection::readable() const {
    return state_->connection;
}

Waitable ServedConnection::writable() const {
    return state_->connection;
}

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
