#include "ChildProcess.h"

#include <windows.h>

namespace qbv::platform {

namespace {

std::string systemMessage(DWORD code) {
    char text[512] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                        code, 0, text, sizeof text, nullptr);
    std::string message(text, length);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.'))
        message.pop_back();
    return message.empty() ? "system error " + std::to_string(code) : message;
}

} // namespace

void keepChildExitCodes() {}

ChildProcess::~ChildProcess() {
    release();
}

bool ChildProcess::start(const ProcessLaunch& launch) {
    release();
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION information{};
    std::string commandLine = launch.commandLine; // CreateProcessA may write into it

    // The program is named apart from the command line: from the command line alone, an unquoted path
    // with a blank in it would start whatever lies at the first blank (C:\Program.exe).
    if (!CreateProcessA(launch.program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        CREATE_NEW_CONSOLE | HIGH_PRIORITY_CLASS, nullptr, nullptr, &startup, &information)) {
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
