#pragma once

namespace qbv::platform {

// The terminal's interrupt (Ctrl+C: SIGINT on POSIX, the console's Ctrl+C and Ctrl+Break events on
// Windows) noted instead of ending the program at once, so that a command can close the board link
// before it goes.
void catchInterrupt();

// True once an interrupt has arrived since it was caught or last cleared.
bool interruptRequested();
void clearInterrupt();

} // namespace qbv::platform
