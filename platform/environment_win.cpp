#include "Environment.h"

#include "WindowsText.h"

#include <cstdlib>
#include <windows.h>

namespace qbv::platform {

std::string environmentVariable(const char* name) {
    const std::wstring key = wide(name);
    const DWORD size = GetEnvironmentVariableW(key.c_str(), nullptr, 0);
    if (size == 0)
        return std::string();
    std::wstring value(size, L'\0');
    const DWORD length = GetEnvironmentVariableW(key.c_str(), value.data(), size);
    return length < size ? narrow(value.substr(0, length)) : std::string();
}

void setEnvironmentVariable(const char* name, const std::string& value) {
    // The C runtime's copy, for getenv in this process and its DLLs, and the system's, for child processes.
    const std::wstring key = wide(name);
    const std::wstring text = wide(value);
    _wputenv_s(key.c_str(), text.c_str());
    SetEnvironmentVariableW(key.c_str(), value.empty() ? nullptr : text.c_str());
}

unsigned long currentProcessId() {
    return GetCurrentProcessId();
}

} // namespace qbv::platform
