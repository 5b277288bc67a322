#include "Environment.h"

#include <cstdlib>
#include <windows.h>

namespace qbv::platform {

std::string environmentVariable(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

void setEnvironmentVariable(const char* name, const std::string& value) {
    // The C runtime's copy, for getenv in this process and its DLLs, and the system's, for child processes.
    _putenv_s(name, value.c_str());
    SetEnvironmentVariableA(name, value.empty() ? nullptr : value.c_str());
}

} // namespace qbv::platform
