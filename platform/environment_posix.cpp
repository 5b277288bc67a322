#include "Environment.h"

#include <cstdlib>
#include <unistd.h>

namespace qbv::platform {

std::string environmentVariable(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

void setEnvironmentVariable(const char* name, const std::string& value) {
    if (value.empty())
        unsetenv(name);
    else
        setenv(name, value.c_str(), 1);
}

unsigned long currentProcessId() {
    return static_cast<unsigned long>(getpid());
}

} // namespace qbv::platform
