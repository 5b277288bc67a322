#pragma once

namespace qbv::platform {

// The terminal's interrupt (Ctrl+C: SIGINT on POSIX, the console's Ctrl+C and Ctrl+Break events on
// Windows) noted instead of ending the program at once, so that a command can close the board link
// before it goes.
void catchInterrupt();

// True once an interrupt has arrived since it was caught or last cleared.
bool interruptRequested();
void clearInterrupt();

// Requests to end that nobody can be asked about (SIGTERM, SIGINT and SIGHUP on POSIX) noted on a
// descriptor that becomes readable when one arrives, so that an event loop ends the program its own way;
// -1 where the system sends none to a window program (Windows). takeEndRequests() reads the notes.
int watchEndRequests();
void takeEndRequests();

} // namespace qbv::platform
