#include "Interrupt.h"

#include <atomic>
#include <csignal>
#include <pthread.h>

namespace qbv::platform {

namespace {

std::atomic<bool> interrupted{false};

extern "C" void noteInterrupt(int) {
    interrupted.store(true);
}

bool interruptPending() {
    sigset_t pending;
    sigemptyset(&pending);
    return sigpending(&pending) == 0 && sigismember(&pending, SIGINT) == 1;
}

} // namespace

void catchInterrupt() {
    struct sigaction action {};
    action.sa_handler = noteInterrupt;
    sigemptyset(&action.sa_mask);
    // Calls under way carry on (the JTAG library's own I/O must not fail for it); the loops that wait
    // look at the flag between their steps.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
}

bool interruptRequested() {
    return interrupted.load() || interruptPending();
}

void clearInterrupt() {
    interrupted.store(false);
}

} // namespace qbv::platform
