#include "ChildProcess.h"

#include "WindowsPipe.h"
#include "WindowsText.h"

#include <vector>
#include <windows.h>

namespace qbv::platform {

namespace {

// This program's standard error as a child inherits it, alone of this program's handles.
class InheritedErrorStream {
public:
    // False when this program has no standard error or the system refuses a step.
    bool prepare() { return inherited_.prepare(GetStdHandle(STD_ERROR_HANDLE)); }

    // Hands the stream to the child as its standard output and standard error.
    void giveTo(STARTUPINFOEXW& startup) const {
        startup.StartupInfo.dwFlags |= STARTF_USESTDHANDLES;
        startup.StartupInfo.hStdOutput = startup.StartupInfo.hStdError = inherited_.handle();
        startup.lpAttributeList = static_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(inherited_.attributes());
    }

private:
    InheritedHandle inherited_;
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
    const DWORD flags = CREATE_NEW_CONSOLE | HIGH_PRIORITY_CLASS | CREATE_SUSPENDED |
                        (inherits ? EXTENDED_STARTUPINFO_PRESENT : 0);
    if (!CreateProcessW(wide(launch.program).c_str(), commandLine.data(), nullptr, nullptr, inherits, flags,
                        nullptr, nullptr, &startup.StartupInfo, &information)) {
        errorString_ = systemMessage(GetLastError());
        return false;
    }
    errorString_.clear();
    process_ = information.hProcess;
    thread_ = information.hThread;
    processId_ = information.dwProcessId;
    // A job of its own, before it runs, holds whatever it starts too; the job does not end it when closed.
    job_ = CreateJobObjectW(nullptr, nullptr);
    if (job_ && !AssignProcessToJobObject(static_cast<HANDLE>(job_), information.hProcess)) {
        CloseHandle(static_cast<HANDLE>(job_));
        job_ = nullptr;
    }
    ResumeThread(information.hThread);
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

void ChildProcess::endTree() {
    if (job_)
        TerminateJobObject(static_cast<HANDLE>(job_), 1);
    else if (process_)
        TerminateProcess(static_cast<HANDLE>(process_), 1);
}

uint32_t ChildProcess::processId() const {
    return processId_;
}

void ChildProcess::release() {
    if (thread_)
        CloseHandle(static_cast<HANDLE>(thread_));
    if (process_)
        CloseHandle(static_cast<HANDLE>(process_));
    if (job_)
        CloseHandle(static_cast<HANDLE>(job_));
    thread_ = nullptr;
    process_ = nullptr;
    job_ = nullptr;
    processId_ = 0;
}

} // namespace qbv::platform
