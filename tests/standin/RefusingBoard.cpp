#include "RefusingBoard.h"

#include "sim/core/BoardState.h"
#include "sim/core/SocketPath.h"

#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace qbv::test {

namespace {

int listenAt(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return -1;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || listen(fd, 4) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

std::string replyTo(const std::string& line, std::atomic<int>& refused) {
    if (line == "state") {
        sim::BoardState blank;
        blank.plugged = true;
        return "ok " + sim::formatState(blank);
    }
    if (line.starts_with("program ")) {
        ++refused;
        return "error the controller refused the design";
    }
    return "error unknown request";
}

void sendLine(int client, const std::string& line) {
    const std::string framed = line + "\n";
    send(client, framed.data(), framed.size(), MSG_NOSIGNAL);
}

} // namespace

RefusingBoard::RefusingBoard() {
    name_ = directory_.file("board");
    listener_ = listenAt(sim::controlSocketPath(name_));
    if (listener_ >= 0)
        thread_ = std::thread([this] { serve(); });
}

RefusingBoard::~RefusingBoard() {
    if (listener_ >= 0) {
        shutdown(listener_, SHUT_RDWR);
        if (const int client = client_.load(); client >= 0)
            shutdown(client, SHUT_RDWR);
        thread_.join();
        close(listener_);
        unlink(sim::controlSocketPath(name_).c_str());
    }
}

void RefusingBoard::serve() {
    for (;;) {
        const int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            return; // shut down
        client_ = client;
        answer(client);
        client_ = -1;
        close(client);
    }
}

void RefusingBoard::answer(int client) {
    std::string pending;
    char chunk[4096];
    for (;;) {
        const ssize_t received = recv(client, chunk, sizeof chunk, 0);
        if (received <= 0)
            return;
        pending.append(chunk, static_cast<size_t>(received));
        for (size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1))
            sendLine(client, replyTo(pending.substr(0, end), refused_));
    }
}

} // namespace qbv::test
