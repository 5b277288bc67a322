#include "LocalChannel.h"

#include "WindowsPipe.h"
#include "WindowsText.h"

#include <windows.h>

#include <array>
#include <memory>
#include <optional>

namespace qbv::platform {

namespace {

// The user a process runs as, as a security identifier; empty when it cannot be read.
std::unique_ptr<BYTE[]> processUser(HANDLE process) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token))
        return nullptr;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    auto user = std::make_unique<BYTE[]>(size);
    const bool read = size > 0 && GetTokenInformation(token, TokenUser, user.get(), size, &size);
    CloseHandle(token);
    return read ? std::move(user) : nullptr;
}

// The process at the other end of a pipe: its client, seen from the server's end, else its server; null
// when it cannot be opened (it has ended, say).
HANDLE peerProcess(HANDLE pipe) {
    DWORD flags = 0;
    ULONG peerId = 0;
    if (!GetNamedPipeInfo(pipe, &flags, nullptr, nullptr, nullptr))
        return nullptr;
    const BOOL known = (flags & PIPE_SERVER_END) ? GetNamedPipeClientProcessId(pipe, &peerId)
                                                 : GetNamedPipeServerProcessId(pipe, &peerId);
    return known ? OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, peerId) : nullptr;
}

// The server's pipes have no buffer of their own: a write ends once the client has read it, and a hang-up
// after it loses none of it.
constexpr DWORD kPipeBuffer = 0;
// Instances kept ready, so that clients coming together each find one while the server has yet to make
// the taken ones anew.
constexpr size_t kReadyInstances = 8;
// How long a client that names no time waits for an instance.
constexpr DWORD kDefaultWaitMs = 3000;

// Only this user may open the server's instances, whatever the system's default would let others do.
struct UserOnly {
    std::unique_ptr<BYTE[]> user;
    std::vector<BYTE> acl;
    SECURITY_DESCRIPTOR descriptor{};
    SECURITY_ATTRIBUTES attributes{sizeof(SECURITY_ATTRIBUTES), &descriptor, FALSE};

    bool make() {
        user = processUser(GetCurrentProcess());
        if (!user)
            return false;
        const PSID sid = reinterpret_cast<TOKEN_USER*>(user.get())->User.Sid;
        acl.resize(sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + GetLengthSid(sid));
        auto* list = reinterpret_cast<ACL*>(acl.data());
        return InitializeAcl(list, static_cast<DWORD>(acl.size()), ACL_REVISION) &&
               AddAccessAllowedAce(list, ACL_REVISION, FILE_ALL_ACCESS, sid) &&
               InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
               SetSecurityDescriptorDacl(&descriptor, TRUE, list, FALSE);
    }
};

// One overlapped operation on a pipe at a time, and the event the system signals as it ends.
struct Operation {
    OVERLAPPED overlapped{};
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    bool underWay = false;

    Operation() = default;
    Operation(const Operation&) = delete;
    Operation& operator=(const Operation&) = delete;
    ~Operation() {
        if (event)
            CloseHandle(event);
    }
    OVERLAPPED* start() {
        overlapped = {};
        overlapped.hEvent = event;
        underWay = true;
        return &overlapped;
    }
    // Empty while it is under way; then whether it succeeded, and the count it moved.
    std::optional<bool> outcome(HANDLE pipe, DWORD& moved) {
        const BOOL succeeded = GetOverlappedResult(pipe, &overlapped, &moved, FALSE);
        if (!succeeded && GetLastError() == ERROR_IO_INCOMPLETE)
            return std::nullopt;
        underWay = false;
        return succeeded != FALSE;
    }
    // The system writes into the operation until it has ended: it is waited for.
    void cancel(HANDLE pipe) {
        DWORD ignored = 0;
        if (underWay) {
            CancelIoEx(pipe, &overlapped);
            GetOverlappedResult(pipe, &overlapped, &ignored, TRUE);
        }
        underWay = false;
    }
};

// An instance of the server's pipe, waiting for its client.
struct Instance {
    HANDLE pipe = INVALID_HANDLE_VALUE;
    Operation connecting;
    bool connected = false; // its client came before it was waited for
};

// Makes the instance and waits for its client; false, with the system's error, when it cannot.
bool arm(const std::wstring& name, SECURITY_ATTRIBUTES& security, Instance& instance) {
    ResetEvent(instance.connecting.event); // an instance that cannot be made signals nothing
    instance.pipe =
        CreateNamedPipeW(name.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                         PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT, PIPE_UNLIMITED_INSTANCES,
                         kPipeBuffer, kPipeBuffer, kDefaultWaitMs, &security);
    if (instance.pipe == INVALID_HANDLE_VALUE)
        return false;
    instance.connected = ConnectNamedPipe(instance.pipe, instance.connecting.start());
    const DWORD error = instance.connected ? ERROR_PIPE_CONNECTED : GetLastError();
    if (error == ERROR_IO_PENDING)
        return true;
    instance.connecting.underWay = false;
    // A client that came, or came and went, before the wait: it is taken all the same, and one that went
    // is seen to have hung up.
    instance.connected = error == ERROR_PIPE_CONNECTED || error == ERROR_NO_DATA;
    if (instance.connected)
        return SetEvent(instance.connecting.event);
    CloseHandle(instance.pipe);
    instance.pipe = INVALID_HANDLE_VALUE;
    SetLastError(error);
    return false;
}

} // namespace

struct LocalListener::State {
    std::wstring name;
    UserOnly security;
    std::array<Instance, kReadyInstances> instances;

    ~State() {
        for (Instance& instance : instances) {
            if (instance.pipe == INVALID_HANDLE_VALUE)
                continue;
            instance.connecting.cancel(instance.pipe);
            CloseHandle(instance.pipe);
        }
    }
};

LocalListener::LocalListener() = default;

LocalListener::~LocalListener() = default;

bool LocalListener::listen(const std::string& address, std::string& error) {
    close();
    auto state = std::make_unique<State>();
    state->name = wide(address);
    bool made = state->security.make();
    for (Instance& instance : state->instances)
        made = made && instance.connecting.event && arm(state->name, state->security.attributes, instance);
    if (!made)
        return (error = "QLocalServerPrivate::addListener: " + systemMessage(GetLastError()) + "."), false;
    state_ = std::move(state);
    return true;
}

bool LocalListener::listening() const {
    return state_ != nullptr;
}

LocalConnection LocalListener::accept() {
    if (!state_)
        return kNoConnection;
    for (Instance& instance : state_->instances) {
        DWORD ignored = 0;
        if (instance.pipe == INVALID_HANDLE_VALUE ||
            (!instance.connected && !instance.connecting.outcome(instance.pipe, ignored)))
            continue;
        // Whatever ended the wait, the client is handed on: one that failed is seen to have hung up.
        const auto client = reinterpret_cast<LocalConnection>(instance.pipe);
        // An instance that cannot be made anew leaves the others.
        arm(state_->name, state_->security.attributes, instance);
        return client;
    }
    return kNoConnection;
}

std::vector<Waitable> LocalListener::waitables() const {
    std::vector<Waitable> events;
    if (!state_)
        return events;
    for (const Instance& instance : state_->instances)
        events.push_back(reinterpret_cast<Waitable>(instance.connecting.event));
    return events;
}

void LocalListener::close() {
    state_.reset();
}

struct ServedConnection::State {
    HANDLE pipe;
    Operation reading;
    Operation writing;
    char received[4096];
    std::string sending;
    bool broken = false;

    ~State() {
        reading.cancel(pipe);
        writing.cancel(pipe);
        CloseHandle(pipe);
    }
    void read() {
        if (ReadFile(pipe, received, sizeof received, nullptr, reading.start()) ||
            GetLastError() == ERROR_IO_PENDING)
            return;
        reading.underWay = false;
        broken = true;
        SetEvent(reading.event); // for the reader to learn it
    }
};

ServedConnection::ServedConnection(LocalConnection connection) : state_(std::make_unique<State>()) {
    state_->pipe = reinterpret_cast<HANDLE>(connection);
    state_->read();
}

ServedConnection::~ServedConnection() = default;

LocalConnection ServedConnection::connection() const {
    return reinterpret_cast<LocalConnection>(state_->pipe);
}

long long ServedConnection::receiveNow(std::string& bytes) {
    if (state_->broken)
        return -1;
    DWORD got = 0;
    const std::optional<bool> read = state_->reading.outcome(state_->pipe, got);
    if (!read)
        return 0;
    if (!*read) {
        state_->broken = true;
        return -1;
    }
    bytes.append(state_->received, got);
    state_->read();
    return got;
}

long long ServedConnection::sendNow(const void* bytes, size_t count) {
    if (!allSent())
        return 0;
    if (state_->broken)
        return -1;
    state_->sending.assign(static_cast<const char*>(bytes), count);
    if (WriteFile(state_->pipe, state_->sending.data(), static_cast<DWORD>(count), nullptr,
                  state_->writing.start()) ||
        GetLastError() == ERROR_IO_PENDING)
        return static_cast<long long>(count);
    state_->writing.underWay = false;
    state_->broken = true;
    return -1;
}

bool ServedConnection::allSent() {
    DWORD sent = 0;
    if (!state_->writing.underWay)
        return true;
    const std::optional<bool> written = state_->writing.outcome(state_->pipe, sent);
    if (written && !*written)
        state_->broken = true;
    return written.has_value();
}

Waitable ServedConnection::readable() const {
    return reinterpret_cast<Waitable>(state_->reading.event);
}

Waitable ServedConnection::writable() const {
    return reinterpret_cast<Waitable>(state_->writing.event);
}

bool peerIsOwnUser(LocalConnection connection) {
    HANDLE peer = peerProcess(reinterpret_cast<HANDLE>(connection));
    if (!peer)
        return false;
    const std::unique_ptr<BYTE[]> theirs = processUser(peer);
    CloseHandle(peer);
    const std::unique_ptr<BYTE[]> ours = processUser(GetCurrentProcess());
    return theirs && ours &&
           EqualSid(reinterpret_cast<TOKEN_USER*>(theirs.get())->User.Sid,
                    reinterpret_cast<TOKEN_USER*>(ours.get())->User.Sid);
}

bool clearServerLeftover(const std::string&, std::string&) {
    return true; // a named pipe goes with the last handle to it
}

std::string localServerAddress(const std::string& name, std::string*) {
    // Pipe names are the machine's: the user's name keeps two users' servers apart.
    wchar_t user[256] = {};
    DWORD size = 256;
    const std::string owner = GetUserNameW(user, &size) ? narrow(user) : std::string("user");
    return "\\\\.\\pipe\\" + name + "-" + owner;
}

LocalChannel::Opened connectToOwnServer(const std::string& address, LocalConnection& connection,
                                        uint32_t timeoutMs) {
    connection = kNoConnection;
    const std::wstring name = wide(address);
    const DWORD start = GetTickCount();
    HANDLE pipe = INVALID_HANDLE_VALUE;
    for (;;) {
        pipe = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_FLAG_OVERLAPPED, nullptr);
        if (pipe != INVALID_HANDLE_VALUE)
            break;
        if (GetLastError() != ERROR_PIPE_BUSY)
            return LocalChannel::Opened::NoServer;
        // Every instance the server keeps ready is taken: wait for one, as long as the time-out lets, and
        // race the other clients for it. (A wait of 0 would mean the server's default, not none.)
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return LocalChannel::Opened::Busy;
        if (!WaitNamedPipeW(name.c_str(), timeoutMs - elapsed))
            return GetLastError() == ERROR_SEM_TIMEOUT ? LocalChannel::Opened::Busy
                                                       : LocalChannel::Opened::NoServer;
    }
    if (!peerIsOwnUser(reinterpret_cast<LocalConnection>(pipe))) {
        CloseHandle(pipe);
        return LocalChannel::Opened::NotOurs;
    }
    connection = reinterpret_cast<LocalConnection>(pipe);
    return LocalChannel::Opened::Yes;
}

void closeConnection(LocalConnection connection) {
    if (connection != kNoConnection)
        CloseHandle(reinterpret_cast<HANDLE>(connection));
}

long long sendSome(LocalConnection connection, const void* bytes, size_t count, uint32_t timeoutMs) {
    return pipeTransfer(reinterpret_cast<HANDLE>(connection), true, const_cast<void*>(bytes),
                        static_cast<DWORD>(count), timeoutMs);
}

long long receiveSome(LocalConnection connection, void* space, size_t room, uint32_t timeoutMs) {
    return pipeTransfer(reinterpret_cast<HANDLE>(connection), false, space, static_cast<DWORD>(room),
                        timeoutMs);
}

} // namespace qbv::platform
