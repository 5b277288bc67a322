#pragma once

#include <string>

namespace qbv::platform {

// Reads a variable of the process environment; empty when it is not set.
std::string environmentVariable(const char* name);

// Sets (or, with an empty value, removes) a variable of the process environment, so that libraries
// loaded later and child processes started later see it.
void setEnvironmentVariable(const char* name, const std::string& value);

// This process's identifier, as the system numbers its processes.
unsigned long currentProcessId();

} // namespace qbv::platform
