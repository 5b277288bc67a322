#pragma once

#include "Arguments.h"

#include <string>

namespace qbv::cli {

constexpr const char* kVersion = "1.0.0";

// The help for one command, or the general help for Command::None. The general help lists the exit codes.
std::string helpText(Command topic);

// The short hint after a usage error.
std::string usageHint(Command topic);

} // namespace qbv::cli
