#include "JtagLibrary.h"

#include "JtagHelper.h"
#include "WindowsPipe.h"
#include "WindowsText.h"
#include "common/Format.h"

#include <windows.h>

#include <atomic>
#include <cstring>
#include <filesystem>

namespace qbv::platform {

namespace {

using jtaghelper::Call;
using jtaghelper::Reply;
using jtaghelper::Request;

// How long the helper may take over one call before it counts as stopped. Opening may wait for the
// vendor's JTAG server to start; a transfer is a moment's work. The port keeps its own time-outs, by its
// own clock, around these calls: this only keeps a helper that hangs from hanging the program.
constexpr DWORD kLoadLimitMs = 10000;
constexpr DWORD kOpenLimitMs = 15000;
constexpr DWORD kCallLimitMs = 5000;
// How long a helper told to end (its pipe closed) may take to free the library before it is stopped.
constexpr DWORD kEndLimitMs = 2000;

void closeHandle(HANDLE& handle) {
    if (handle && handle != INVALID_HANDLE_VALUE)
        CloseHandle(handle);
    handle = nullptr;
}

// A 32-bit library's calls made by the helper: each call one request and one reply over the pipe.
class HelperJtagLibrary final : public JtagLibrary {
public:
    HelperJtagLibrary() = default;
    ~HelperJtagLibrary() override {
        // The helper frees the library and ends when its pipe closes; the job ends it if it does not.
        closeHandle(pipe_);
        if (process_)
            WaitForSingleObject(process_, kEndLimitMs);
        closeHandle(job_);
        closeHandle(process_);
        closeHandle(event_);
    }
    HelperJtagLibrary(const HelperJtagLibrary&) = delete;
    HelperJtagLibrary& operator=(const HelperJtagLibrary&) = delete;

    // Starts the helper for the library and hears how its load went.
    JtagLoad start(const std::string& libraryPath, const std::string& helperPath);

    int32_t init(int32_t a, int32_t b, int32_t c, int32_t d, int32_t e, int32_t f, const char* term,
                 int32_t last, void*) override {
        Request request{static_cast<int32_t>(Call::Init), {a, b, c, d, e, f, last}, 0};
        const std::string name = term ? term : "";
        request.length = static_cast<uint32_t>(name.size());
        return call(request, name.data(), kOpenLimitMs).result;
    }
    int32_t close(void*) override {
        return call({static_cast<int32_t>(Call::Close)}, nullptr, kOpenLimitMs).result;
    }
    int32_t atlanticInit(void*) override {
        return call({static_cast<int32_t>(Call::AtlanticInit)}, nullptr, kOpenLimitMs).result;
    }
    int32_t write(void*, const uint8_t* bytes, int32_t count, int32_t* written, int32_t* stall) override {
        const uint32_t length = count > 0 ? static_cast<uint32_t>(count) : 0;
        const Reply reply =
            call({static_cast<int32_t>(Call::Write), {count, *written, *stall}, length}, bytes, kCallLimitMs);
        *written = reply.count;
        *stall = reply.stall;
        return reply.result;
    }
    int32_t read(void*, uint8_t* space, int32_t room, int32_t* received, int32_t* stall) override {
        const Reply reply =
            call({static_cast<int32_t>(Call::Read), {room, *received, *stall}}, nullptr, kCallLimitMs);
        std::memcpy(space, replyBytes_.data(), std::min<size_t>(replyBytes_.size(), room > 0 ? room : 0));
        *received = reply.count;
        *stall = reply.stall;
        return reply.result;
    }
    int32_t clearStall(void*) override {
        return call({static_cast<int32_t>(Call::ClearStall)}, nullptr, kCallLimitMs).result;
    }

    jtag::LinkError errorText(void*, std::string& text) override {
        const Reply reply = call({static_cast<int32_t>(Call::ErrorText), {512}}, nullptr, kCallLimitMs);
        if (!answering_) {
            text = stopped_;
            return jtag::LinkError::Other;
        }
        text.assign(replyBytes_.c_str());
        return static_cast<jtag::LinkError>(reply.result);
    }
    jtag::Edition edition() const override { return edition_; }
    std::string runsThrough() const override {
        return formatText("a 32-bit library, run by %s", jtaghelper::kFileName);
    }

private:
    // One call; a helper that fails to answer in time is stopped, and this and every later call fail.
    Reply call(const Request& request, const void* bytes, DWORD limitMs);
    bool transferAll(bool writing, void* bytes, size_t count, ULONGLONG deadline);
    bool receiveReply(Reply& reply, DWORD limitMs);
    void stop(const char* why);

    HANDLE pipe_ = nullptr;
    HANDLE event_ = nullptr;
    HANDLE process_ = nullptr;
    HANDLE job_ = nullptr;
    bool answering_ = false;
    std::string stopped_;
    jtag::Edition edition_ = jtag::Edition::Makers;
    std::string replyBytes_;
    std::string sent_;
};

DWORD timeLeft(ULONGLONG deadline) {
    const ULONGLONG now = GetTickCount64();
    return now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
}

// Moves all the bytes, one way, before the deadline; false when the pipe failed or the time ran out.
bool HelperJtagLibrary::transferAll(bool writing, void* bytes, size_t count, ULONGLONG deadline) {
    auto* next = static_cast<char*>(bytes);
    while (count > 0) {
        const long long moved =
            pipeTransfer(pipe_, writing, next, static_cast<DWORD>(count), timeLeft(deadline), event_);
        if (moved <= 0)
            return false;
        next += moved;
        count -= static_cast<size_t>(moved);
    }
    return true;
}

bool HelperJtagLibrary::receiveReply(Reply& reply, DWORD limitMs) {
    const ULONGLONG deadline = GetTickCount64() + limitMs;
    if (!transferAll(false, &reply, sizeof reply, deadline) || reply.length > jtaghelper::kMaxBytes)
        return false;
    replyBytes_.assign(reply.length, '\0');
    return transferAll(false, replyBytes_.data(), reply.length, deadline);
}

Reply HelperJtagLibrary::call(const Request& request, const void* bytes, DWORD limitMs) {
    // What a library that failed reports: nothing moved, no stall.
    const Reply failed{-1, 0, -1, 0};
    replyBytes_.clear();
    if (!answering_)
        return failed;
    sent_.assign(reinterpret_cast<const char*>(&request), sizeof request);
    sent_.append(static_cast<const char*>(bytes ? bytes : ""), bytes ? request.length : 0);
    Reply reply;
    if (!transferAll(true, sent_.data(), sent_.size(), GetTickCount64() + limitMs) ||
        !receiveReply(reply, limitMs)) {
        stop(WaitForSingleObject(process_, 0) == WAIT_OBJECT_0 ? "ended"
                                                               : "stopped answering, and was ended");
        return failed;
    }
    return reply;
}

void HelperJtagLibrary::stop(const char* why) {
    answering_ = false;
    TerminateProcess(process_, 1);
    stopped_ = formatText("%s, which runs the 32-bit JTAG access library, %s.", jtaghelper::kFileName, why);
}

JtagLoad HelperJtagLibrary::start(const std::string& libraryPath, const std::string& helperPath) {
    const auto failed = [&](const std::string& why) {
        return JtagLoad{nullptr, JtagLoadError::NotLoaded,
                        formatText("%s is a 32-bit library, which this 64-bit program runs through %s; %s.",
                                   libraryPath.c_str(), helperPath.c_str(), why.c_str())};
    };
    // A pipe of this helper's alone: a name no other pipe has, one instance, and its far end opened here
    // before anyone else could, to be inherited by the helper alone.
    static std::atomic<unsigned> serial{0};
    const std::wstring name = L"\\\\.\\pipe\\qbv-jtag32-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(++serial) + L"-" + std::to_wstring(GetTickCount64());
    pipe_ = CreateNamedPipeW(name.c_str(),
                             PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                             PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1,
                             jtaghelper::kMaxBytes * 2, jtaghelper::kMaxBytes * 2, 0, nullptr);
    if (pipe_ == INVALID_HANDLE_VALUE) {
        pipe_ = nullptr;
        return failed("no pipe to it could be made: " + systemMessage(GetLastError()));
    }
    HANDLE farEnd =
        CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (farEnd == INVALID_HANDLE_VALUE)
        return failed("no pipe to it could be made: " + systemMessage(GetLastError()));
    InheritedHandle inherited;
    const bool handed = inherited.prepare(farEnd);
    CloseHandle(farEnd);
    if (!handed)
        return failed("its pipe could not be handed to it: " + systemMessage(GetLastError()));
    event_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);

    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup;
    startup.lpAttributeList = static_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(inherited.attributes());
    std::wstring commandLine = L"\"" + wide(helperPath) + L"\" " +
                               std::to_wstring(reinterpret_cast<uintptr_t>(inherited.handle())) + L" \"" +
                               wide(libraryPath) + L"\"";
    PROCESS_INFORMATION information{};
    if (!CreateProcessW(wide(helperPath).c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                        CREATE_SUSPENDED | CREATE_NO_WINDOW | EXTENDED_STARTUPINFO_PRESENT, nullptr, nullptr,
                        &startup.StartupInfo, &information))
        return failed("that could not be started: " + systemMessage(GetLastError(), helperPath));
    process_ = information.hProcess;
    // The helper ends with this program, however it ends: the system ends a job's processes when the
    // last handle to the job closes. (A program that is itself in a job that allows no other is left
    // with the helper's own end when its pipe breaks.)
    job_ = CreateJobObjectW(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (job_ && SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof limits))
        AssignProcessToJobObject(job_, process_);
    ResumeThread(information.hThread);
    CloseHandle(information.hThread);

    Reply loaded;
    if (!receiveReply(loaded, kLoadLimitMs)) {
        TerminateProcess(process_, 1);
        return failed("that ended before it said whether the library loaded");
    }
    const auto error = static_cast<JtagLoadError>(loaded.result);
    if (error != JtagLoadError::NoError)
        return {nullptr, error, replyBytes_};
    answering_ = true;
    edition_ = jtag::editionFrom(loaded.count);
    return {};
}

} // namespace

JtagLoad loadJtagLibrary(const std::string& fullPath) {
    if (sizeof(void*) == 4 || libraryBitness(fullPath) != "32-bit")
        return loadJtagLibraryHere(fullPath);
    const std::filesystem::path library(wide(fullPath));
    const std::string helper = narrow((library.parent_path() / jtaghelper::kFileName).wstring());
    auto remote = std::make_unique<HelperJtagLibrary>();
    JtagLoad load = remote->start(fullPath, helper);
    if (load.error == JtagLoadError::NoError)
        load.library = std::move(remote);
    return load;
}

} // namespace qbv::platform
