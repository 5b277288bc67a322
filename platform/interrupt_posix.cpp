#include "Interrupt.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

namespace qbv::platform {

namespace {

std::atomic<bool> interrupted{false};

extern "C" void noteInterrupt(int) {
    interrupted.store(true);
}

int endRequests[2] = {-1, -1};

extern "C" void noteEndRequest(int) {
    const int saved = errno;
    const char note = 1;
    // A full pipe already holds a note: the request is not lost.
    [[maybe_unused]] const ssize_t written = write(endRequests[1], &note, 1);
    errno = saved;
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

int watchEndRequests() {
    if (endRequests[0] < 0 && pipe2(endRequests, O_CLOEXEC | O_NONBLOCK) != 0)
        return -1;
    struct sigaction action {};
    action.sa_handler = noteEndRequest;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
    return endRequests[0];
}

void takeEndRequests() {
    char notes[64];
    while (read(endRequests[0], notes, sizeof notes) > 0) {
    }
}

} // namespace qbv::platform
