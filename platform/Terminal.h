#pragma once

#include <ostream>

namespace qbv::platform {

// Whether the standard streams go to a terminal (a console on Windows) rather than a file or a pipe, so
// that a line may be redrawn in place.
bool standardOutputIsTerminal();
bool standardErrorIsTerminal();

// The standard output and error as a program writes its UTF-8 text to them. On Windows, one that goes to a
// console is handed the text as UTF-16 (WriteConsoleW), which shows every letter whatever the console's code
// page; otherwise, and to a pipe or a file everywhere, the plain stream, which writes the UTF-8 bytes.
std::ostream& standardOutput();
std::ostream& standardError();

} // namespace qbv::platform
