#pragma once

#include "Console.h"

#include <string>
#include <vector>

namespace qbv::cli {

// One run of qbv: the command line after the program's name in, the exit code out. The whole command
// line is checked before the JTAG access library is loaded, so a mistake in it never reaches the board.
int runQbv(const std::vector<std::string>& arguments, Console& console);

} // namespace qbv::cli
