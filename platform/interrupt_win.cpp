#include "Interrupt.h"

#include <atomic>
#include <windows.h>

namespace qbv::platform {

namespace {

std::atomic<bool> interrupted{false};

// Runs on a thread the system starts for the event; the main thread reads the flag.
BOOL WINAPI noteInterrupt(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;
    interrupted.store(true);
    return TRUE;
}

} // namespace

void catchInterrupt() {
    SetConsoleCtrlHandler(noteInterrupt, TRUE);
}

bool interruptRequested() {
    return interrupted.load();
}

void clearInterrupt() {
    interrupted.store(false);
}

// A window program gets no console events: the close box, Exit and the desktop session's end reach it as
// window messages.
int watchEndRequests() {
    return -1;
}

void takeEndRequests() {}

// The programmer gets a console of its own (CREATE_NEW_CONSOLE), which this console's Ctrl+C never reaches.

} // namespace qbv::platform
