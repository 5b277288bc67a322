#pragma once

#include <cstdint>
#include <string>

namespace qbv::platform {

// Where a local server of this user's, of the given name, listens: a Unix-domain socket in the user's
// runtime folder ($XDG_RUNTIME_DIR when it is a folder of the user's alone, else a folder of the user's
// own made in the temporary folder), or a named pipe of the user's on Windows. Empty when the user has no
// such folder.
std::string localServerAddress(const std::string& name);

// A connection to a local server of this user's, that ends with it. Each wait ends at its time-out; the
// connection is of no more use after any failure.
class LocalChannel {
public:
    enum class Opened {
        Yes,
        NoServer, // nothing listens at the address
        NotOurs,  // a server of another user's answers there: it is not talked to
    };

    LocalChannel() = default;
    ~LocalChannel();
    LocalChannel(const LocalChannel&) = delete;
    LocalChannel& operator=(const LocalChannel&) = delete;

    Opened open(const std::string& address);
    bool isOpen() const;
    void close();

    bool send(const std::string& bytes, uint32_t timeoutMs);
    // The next line, without its "\n"; false when none came whole in time or the server hung up.
    bool receiveLine(std::string& line, uint32_t timeoutMs);

private:
    bool receiveSome(uint32_t timeoutMs);

#ifdef _WIN32
    void* pipe_ = nullptr;
#else
    int socket_ = -1;
#endif
    std::string received_;
};

#ifndef _WIN32
// Connects to the Unix-domain socket at the path and keeps the connection (socket, for the caller to close)
// only when a process of this user's serves it; socket is -1 otherwise.
LocalChannel::Opened connectToOwnServer(const std::string& path, int& socket);
#endif

} // namespace qbv::platform
