#pragma once

namespace qbv::platform {

// The terminal's interrupt (Ctrl+C: SIGINT on POSIX, the console's Ctrl+C and Ctrl+Break events on
// Windows) noted instead of ending the program at once, so that a command can close the board link
// before it goes.
void catchInterrupt();

// True once an interrupt has arrived since it was caught or last cleared.
bool interruptRequested();
void clearInterrupt();

// While one lives, programs started from this thread are out of the terminal's reach: the programmer
// must not be cut off halfway through writing the controller just because its caller was interrupted.
// On POSIX the interrupt is held back (blocked) here and the children inherit that; a held-back interrupt
// still counts for interruptRequested() and is delivered when the shield goes. On Windows the programmer
// already runs in a console of its own, so the shield does nothing.
class InterruptShield {
public:
    InterruptShield();
    ~InterruptShield();
    InterruptShield(const InterruptShield&) = delete;
    InterruptShield& operator=(const InterruptShield&) = delete;

private:
    bool raised_ = false; // false when the interrupt was already held back before
};

} // namespace qbv::platform
