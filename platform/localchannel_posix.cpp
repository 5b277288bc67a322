#include "LocalChannel.h"

#include "Clock.h"
#include "Environment.h"

#include <cerrno>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace qbv::platform {

namespace {

// A folder of this user's that nobody else may enter, and not a link to one.
bool privateFolder(const std::string& path) {
    struct stat status {};
    return lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode) && status.st_uid == geteuid() &&
           (status.st_mode & 077) == 0;
}

std::string withoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string userRuntimeFolder() {
    const std::string runtime = withoutTrailingSlashes(environmentVariable("XDG_RUNTIME_DIR"));
    if (!runtime.empty() && runtime.front() == '/' && privateFolder(runtime))
        return runtime;
    std::string temporary = withoutTrailingSlashes(environmentVariable("TMPDIR"));
    if (temporary.empty() || temporary.front() != '/')
        temporary = "/tmp";
    const std::string folder = temporary + "/qbv-" + std::to_string(geteuid());
    mkdir(folder.c_str(), 0700); // there already, or made now: either way it is checked next
    return privateFolder(folder) ? folder : std::string();
}

// Ends a wait at its deadline: what is left of the time-out since start, 0 once it has passed.
int remaining(uint32_t start, uint32_t timeoutMs) {
    const uint32_t elapsed = elapsedSince(start);
    return elapsed >= timeoutMs ? 0 : static_cast<int>(timeoutMs - elapsed);
}

bool ready(int socket, short events, uint32_t start, uint32_t timeoutMs) {
    pollfd watched{socket, events, 0};
    for (;;) {
        const int result = ::poll(&watched, 1, remaining(start, timeoutMs));
        if (result > 0)
            return true;
        if (result == 0 || errno != EINTR)
            return false;
    }
}

} // namespace

std::string localServerAddress(const std::string& name) {
    const std::string folder = userRuntimeFolder();
    return folder.empty() ? std::string() : folder + "/" + name;
}

LocalChannel::~LocalChannel() {
    close();
}

LocalChannel::Opened connectToOwnServer(const std::string& path, int& socket) {
    socket = -1;
    sockaddr_un where{};
    where.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof where.sun_path)
        return LocalChannel::Opened::NoServer;
    path.copy(where.sun_path, path.size());
    const int connected = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (connected < 0)
        return LocalChannel::Opened::NoServer;
    if (::connect(connected, reinterpret_cast<const sockaddr*>(&where), sizeof where) != 0) {
        ::close(connected);
        return LocalChannel::Opened::NoServer;
    }
    // Whoever made the socket, only a server of this user's is talked to.
    ucred peer{};
    socklen_t size = sizeof peer;
    if (getsockopt(connected, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 || peer.uid != geteuid()) {
        ::close(connected);
        return LocalChannel::Opened::NotOurs;
    }
    socket = connected;
    return LocalChannel::Opened::Yes;
}

LocalChannel::Opened LocalChannel::open(const std::string& address) {
    close();
    return connectToOwnServer(address, socket_);
}

bool LocalChannel::isOpen() const {
    return socket_ >= 0;
}

void LocalChannel::close() {
    if (socket_ >= 0)
        ::close(socket_);
    socket_ = -1;
    received_.clear();
}

bool LocalChannel::send(const std::string& bytes, uint32_t timeoutMs) {
    const uint32_t start = tickCount();
    for (size_t sent = 0; sent < bytes.size();) {
        if (socket_ < 0 || !ready(socket_, POLLOUT, start, timeoutMs))
            return false;
        const ssize_t written = ::send(socket_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (written < 0 && errno != EINTR && errno != EAGAIN) {
            close();
            return false;
        }
        sent += written > 0 ? static_cast<size_t>(written) : 0;
    }
    return true;
}

bool LocalChannel::receiveSome(uint32_t timeoutMs) {
    const uint32_t start = tickCount();
    if (socket_ < 0 || !ready(socket_, POLLIN, start, timeoutMs))
        return false;
    char buffer[4096];
    const ssize_t got = ::recv(socket_, buffer, sizeof buffer, 0);
    if (got <= 0) {
        if (got == 0 || (errno != EINTR && errno != EAGAIN))
            close();
        return false;
    }
    received_.append(buffer, static_cast<size_t>(got));
    return true;
}

bool LocalChannel::receiveLine(std::string& line, uint32_t timeoutMs) {
    const uint32_t start = tickCount();
    for (;;) {
        const size_t end = received_.find('\n');
        if (end != std::string::npos) {
            line = received_.substr(0, end);
            received_.erase(0, end + 1);
            return true;
        }
        if (!receiveSome(static_cast<uint32_t>(remaining(start, timeoutMs))))
            return false;
    }
}

} // namespace qbv::platform
