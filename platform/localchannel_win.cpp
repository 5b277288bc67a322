#include "LocalChannel.h"

#include "WindowsPipe.h"
#include "WindowsText.h"

#include <windows.h>

#include <memory>

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

} // namespace

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
