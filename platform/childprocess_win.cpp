#include "ChildProcess.h"

#include "WindowsText.h"

#include <vector>
#include <windows.h>

namespace qbv::platform {

namespace {

// This program's standard error as a child inherits it: an inheritable copy, and a list of what the child
// inherits that holds it alone, so that no other inheritable handle of this program reaches the child.
class InheritedErrorStream {
public:
    InheritedErrorStream() = default;
    ~InheritedErrorStream() {
        if (attributes_)
            DeleteProcThreadAttributeList(attributes_);
        if (handle_)
            CloseHandle(handle_);
    }
    InheritedErrorStream(const InheritedErrorStream&) = delete;
    InheritedErrorStream& operator=(const InheritedErrorStream&) = delete;

    // False when this program has no standard error or the system refuses a step.
    bool prepare() {
        const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
        if (error == nullptr || error == INVALID_HANDLE_VALUE ||
            !DuplicateHandle(GetCurrentProcess(), error, GetCurrentProcess(), &handle_, 0, TRUE,
                             DUPLICATE_SAME_ACCESS))
            return false;
        SIZE_T size = 0;
        InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
        buffer_.resize(size);
        const auto list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(buffer_.data());
        if (!InitializeProcThreadAttributeList(list, 1, 0, &size))
            return false;
        attributes_ = list;
        return UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, &handle_, sizeof handle_,
                                         nullptr, nullptr);
    }

    // Hands the stream to the child as its standard output and standard error.
    void giveTo(STARTUPINFOEXW& startup) const {
        startup.StartupInfo.dwFlags |= STARTF_USESTDHANDLES;
        startup.StartupInfo.hStdOutput = startup.StartupInfo.hStdError = handle_;
        startup.lpAttributeList = attributes_;
    }

private:
    HANDLE handle_ = nullptr;
    std::vector<char> buffer_;
    LPPROC_THREAD_ATTRIBUTE_LIST attributes_ = nullptr;
};

} // namespace

void keepChildExitCodes() {}

ChildProcess::~ChildProcess() {
    release();
}

bool ChildProcess::start(const ProcessLaunch& launch) {
    release();
    STARTUPINFOEXW startup{};
    startup.StartupInfo.dwFlags = STARTF_USESHOWWINDOW;
    startup.StartupInfo.wShowWindow = SW_HIDE;
    // Where the stream cannot be handed over, the output stays in the hidden console, as without the option.
    InheritedErrorStream errorStream;
    const bool inherits = launch.outputToErrorStream && errorStream.prepare();
    if (inherits)
        errorStream.giveTo(startup);
    startup.StartupInfo.cb = inherits ? sizeof startup : sizeof startup.StartupInfo;
    PROCESS_INFORMATION information{};
    std::wstring commandLine = wide(launch.commandLine); // CreateProcessW may write into it

    // The program is named apart from the command line: from the command line alone, an unquoted path
    // with a blank in it would start whatever lies at the first blank (C:\Program.exe).
    const DWORD flags =
        CREATE_NEW_CONSOLE | HIGH_PRIORITY_CLASS | (inherits ? EXTENDED_STARTUPINFO_PRESENT : 0);
    if (!CreateProcessW(wide(launch.program).c_str(), commandLine.data(), nullptr, nullptr, inherits, flags,
                        nullptr, nullptr, &startup.StartupInfo, &information)) {
        errorString_ = systemMessage(GetLastError());
        return false;
    }
    errorString_.clear();
    process_ = information.hProcess;
    thread_ = information.hThread;
    processId_ = information.dwProcessId;
    return true;
}

std::optional<uint32_t> ChildProcess::exitCode() {
    DWORD code = 0;
    if (!process_ || !GetExitCodeProcess(static_cast<HANDLE>(process_), &code))
        return std::nullopt;
    return static_cast<uint32_t>(code);
}

void ChildProcess::waitForEnd(uint32_t milliseconds) {
    if (process_)
        WaitForSingleObject(static_cast<HANDLE>(process_), milliseconds);
}

uint32_t ChildProcess::processId() const {
    return processId_;
}

void ChildProcess::release() {
    if (thread_)
        CloseHandle(static_cast<HANDLE>(thread_));
    if (process_)
        CloseHandle(static_cast<HANDLE>(process_));
    thread_ = nullptr;
    process_ = nullptr;
    processId_ = 0;
}

} // namespace qbv::platform
