#pragma once

#include "Arguments.h"

#include <string>

namespace qbv::cli {

constexpr const char* kVersion = "1.0.0";

// The words of the help beside what the declarations of the options say: a command's summary, which
// heads its help and names it in the general help's list, and the notes under its options. For
// Command::None the general help's description and notes, the exit codes among them.
const char* commandSummary(Command topic);
std::string commandNotes(Command topic);

// The help for one command, or the general help for Command::None, as CLI11 writes it.
std::string helpText(Command topic);

// The short hint after a usage error.
std::string usageHint(Command topic);

} // namespace qbv::cli
