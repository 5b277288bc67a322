#pragma once

#include "common/LineBuffer.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qbv::platform {

// Where a local server of this user's, of the given name, listens: a Unix-domain socket in the user's
// runtime folder ($XDG_RUNTIME_DIR when it is a folder of the user's alone, else a folder of the user's
// own made in the temporary folder), or a named pipe of the user's on Windows. Empty when the user has no
// such folder: refusal then says as a sentence which folder it would be, who owns it and what to do.
std::string localServerAddress(const std::string& name, std::string* refusal = nullptr);

// A connection to a local server as a plain value, for code that keeps it in a field of its own (the
// virtual board's library keeps it in its caller's link context): a socket descriptor on POSIX, a pipe
// handle on Windows. LocalChannel holds one and takes the steps below.
using LocalConnection = intptr_t;
constexpr LocalConnection kNoConnection = -1;

// A connection to a local server of this user's, that ends with it. Each wait ends at its time-out; the
// connection is of no more use after any failure.
class LocalChannel {
public:
    enum class Opened {
        Yes,
        NoServer, // nothing listens at the address
        NotOurs,  // a server of another user's answers there: it is not talked to
        Busy,     // a server is there but took no connection within the time-out (its queue is full)
    };
    // Long enough for a server that is merely slow to accept, short beside any command's own time-out.
    static constexpr uint32_t kOpenTimeoutMs = 2000;

    // Beyond any line a local server of ours sends; a longer one means the server speaks another protocol.
    static constexpr size_t kDefaultMaxLine = 65536;

    explicit LocalChannel(size_t maxLine = kDefaultMaxLine) : received_(maxLine) {}
    ~LocalChannel();
    LocalChannel(const LocalChannel&) = delete;
    LocalChannel& operator=(const LocalChannel&) = delete;

    Opened open(const std::string& address, uint32_t timeoutMs = kOpenTimeoutMs);
    bool isOpen() const;
    void close();

    bool send(const std::string& bytes, uint32_t timeoutMs);
    // The next line, without its "\n"; false when none came whole in time, the server hung up or sent a
    // line longer than the limit (which closes the channel).
    bool receiveLine(std::string& line, uint32_t timeoutMs);

private:
    bool receiveSome(uint32_t timeoutMs);

    LocalConnection connection_ = kNoConnection;
    LineBuffer received_;
};

// Whether the process at the other end of a connection runs as this user, as the system says: a client
// asks it of the server it reached, a server of each client it accepted, rather than trust the modes of
// the socket and its folder, which their owner may loosen. The connection is a socket's descriptor on
// POSIX, a pipe's handle (either end) on Windows.
bool peerIsOwnUser(LocalConnection connection);

// Makes room at the address for a local server of this user's, where none answers any more: a socket of
// this user's, left by a server that ended, is removed. Anything else there (a file, a folder, a link,
// another user's socket) is left as it is, and false comes with a sentence naming it. Named pipes leave
// nothing behind: always true on Windows.
bool clearServerLeftover(const std::string& address, std::string& refusal);

// Connects to the local server at the address, waiting at most the time-out, and keeps the connection only
// when a process of this user's serves it; connection is kNoConnection otherwise.
LocalChannel::Opened connectToOwnServer(const std::string& address, LocalConnection& connection,
                                        uint32_t timeoutMs = LocalChannel::kOpenTimeoutMs);
void closeConnection(LocalConnection connection);

// Moves what it can within the time: the count of bytes moved, 0 when the time ran out first, -1 when the
// connection is of no more use (the server hung up, an error). Sending never raises SIGPIPE.
long long sendSome(LocalConnection connection, const void* bytes, size_t count, uint32_t timeoutMs);
long long receiveSome(LocalConnection connection, void* space, size_t room, uint32_t timeoutMs);
// Sends every byte within the time; false when the time ran out first or the connection broke.
bool sendAll(LocalConnection connection, const void* bytes, size_t count, uint32_t timeoutMs);

// What a server waits on before its next step: a socket's descriptor on POSIX, readable or writable as
// the step needs, an event handle on Windows, signalled.
using Waitable = intptr_t;

// A local server's listening end, for clients of this user's alone: on POSIX a socket that only the user
// may connect to, removed from its address as the server closes; on Windows instances of a named pipe that
// only the user may open, a few kept ready so that clients arriving together need not wait for each
// other. It never waits.
class LocalListener {
public:
    LocalListener();
    ~LocalListener();
    LocalListener(const LocalListener&) = delete;
    LocalListener& operator=(const LocalListener&) = delete;

    // False, with the system's reason as the panel's log has always worded it, when it cannot listen.
    bool listen(const std::string& address, std::string& error);
    bool listening() const;
    // A client that connected, which the caller then owns, or kNoConnection when none waits. A failure of
    // the system's ends the listening, since a listener it refused once would only be asked again and again.
    LocalConnection accept();
    // Each is signalled when a client may be taken; they stay the same from listen on until close.
    std::vector<Waitable> waitables() const;
    void close();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// A client's connection as its server holds it: read and written without waiting, in order, and ended
// with it.
class ServedConnection {
public:
    explicit ServedConnection(LocalConnection connection);
    ~ServedConnection();
    ServedConnection(const ServedConnection&) = delete;
    ServedConnection& operator=(const ServedConnection&) = delete;

    LocalConnection connection() const;
    // Adds what came to the bytes: its count, 0 when nothing is there yet, -1 once the client hung up or
    // the connection failed.
    long long receiveNow(std::string& bytes);
    // How many of the bytes the system took, to go out after those it took before: 0 when it takes none
    // now, -1 when the connection failed.
    long long sendNow(const void* bytes, size_t count);
    // Whether all it took has gone out, so that hanging up loses none of it. Always so on POSIX, where the
    // system delivers what it took even after a hang-up; on Windows a write ends once the client read it.
    bool allSent();
    // Signalled when receiveNow, and sendNow or allSent, may move on.
    Waitable readable() const;
    Waitable writable() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace qbv::platform
