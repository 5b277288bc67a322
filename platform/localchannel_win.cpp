#include "LocalChannel.h"

#include "Clock.h"

#include <windows.h>

#include <memory>

namespace qbv::platform {

namespace {

std::wstring wide(const std::string& text) {
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), length);
    return result;
}

std::string narrow(const std::wstring& text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string result(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), length,
                        nullptr, nullptr);
    return result;
}

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

bool sameUser(HANDLE pipe) {
    ULONG serverId = 0;
    if (!GetNamedPipeServerProcessId(pipe, &serverId))
        return false;
    HANDLE server = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, serverId);
    if (!server)
        return false;
    const std::unique_ptr<BYTE[]> theirs = processUser(server);
    CloseHandle(server);
    const std::unique_ptr<BYTE[]> ours = processUser(GetCurrentProcess());
    return theirs && ours &&
           EqualSid(reinterpret_cast<TOKEN_USER*>(theirs.get())->User.Sid,
                    reinterpret_cast<TOKEN_USER*>(ours.get())->User.Sid);
}

DWORD remaining(uint32_t start, uint32_t timeoutMs) {
    const uint32_t elapsed = elapsedSince(start);
    return elapsed >= timeoutMs ? 0 : timeoutMs - elapsed;
}

// One overlapped read or write, waited for until the time-out: the count it moved (0 when the time ran out
// first), or -1 when the pipe failed.
long long transfer(HANDLE pipe, bool writing, void* bytes, DWORD count, uint32_t timeoutMs) {
    OVERLAPPED overlapped{};
    overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD moved = 0;
    const BOOL done = writing ? WriteFile(pipe, bytes, count, &moved, &overlapped)
                              : ReadFile(pipe, bytes, count, &moved, &overlapped);
    long long result = -1;
    if (done || GetLastError() == ERROR_IO_PENDING) {
        if (WaitForSingleObject(overlapped.hEvent, timeoutMs) == WAIT_OBJECT_0 &&
            GetOverlappedResult(pipe, &overlapped, &moved, FALSE))
            result = moved;
        else {
            CancelIo(pipe);
            if (GetOverlappedResult(pipe, &overlapped, &moved, TRUE))
                result = moved; // it finished as it was cancelled
            else if (GetLastError() == ERROR_OPERATION_ABORTED)
                result = 0;
        }
    }
    CloseHandle(overlapped.hEvent);
    return result;
}

} // namespace

std::string localServerAddress(const std::string& name) {
    // Pipe names are the machine's: the user's name keeps two users' servers apart.
    wchar_t user[256] = {};
    DWORD size = 256;
    const std::string owner = GetUserNameW(user, &size) ? narrow(user) : std::string("user");
    return "\\\\.\\pipe\\" + name + "-" + owner;
}

LocalChannel::~LocalChannel() {
    close();
}

LocalChannel::Opened LocalChannel::open(const std::string& address) {
    close();
    HANDLE pipe = CreateFileW(wide(address).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OVERLAPPED, nullptr);
    if (pipe == INVALID_HANDLE_VALUE)
        return Opened::NoServer;
    if (!sameUser(pipe)) {
        CloseHandle(pipe);
        return Opened::NotOurs;
    }
    pipe_ = pipe;
    return Opened::Yes;
}

bool LocalChannel::isOpen() const {
    return pipe_ != nullptr;
}

void LocalChannel::close() {
    if (pipe_)
        CloseHandle(pipe_);
    pipe_ = nullptr;
    received_.clear();
}

bool LocalChannel::send(const std::string& bytes, uint32_t timeoutMs) {
    const uint32_t start = tickCount();
    std::string rest = bytes;
    while (!rest.empty()) {
        const long long written = pipe_ ? transfer(pipe_, true, rest.data(), static_cast<DWORD>(rest.size()),
                                                   remaining(start, timeoutMs))
                                        : -1;
        if (written <= 0) {
            close();
            return false;
        }
        rest.erase(0, static_cast<size_t>(written));
    }
    return true;
}

bool LocalChannel::receiveSome(uint32_t timeoutMs) {
    char buffer[4096];
    const long long got = pipe_ ? transfer(pipe_, false, buffer, sizeof buffer, timeoutMs) : -1;
    if (got < 0)
        close();
    if (got <= 0)
        return false;
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
        if (!receiveSome(remaining(start, timeoutMs)))
            return false;
    }
}

} // namespace qbv::platform
