#pragma once

#include "ProgrammerInvocation.h"
#include "platform/ChildProcess.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace qbv::programming {

// How long the programmer may take before the job ends it. A programmer left running would hold the cable
// under the next connection or job, and a second programmer beside it would program the same controller.
constexpr uint32_t kProgrammerTimeoutMs = 60000;
// How long a programmer that was ended, and what it started, may take to be gone before the wait gives up
// on it too (the system ends them at once; this only keeps a process the system cannot end from holding
// the panel for ever).
constexpr uint32_t kProgrammerEndingMs = 10000;

// The programmer's own failure code, which needs no further word to the user.
constexpr uint32_t kProgrammerFailedExit = 3;

// The longest a pass of the wait sleeps on the process, so the window's messages are handled at least
// every couple of ten milliseconds without a processor spinning.
constexpr uint32_t kPassWaitMs = 10;

// How a run of the programmer ended.
enum class ProgrammerEnd {
    Succeeded,          // exit code 0
    Failed,             // exit code 3 or Ctrl+C's, or an exit code that could not be read
    UnexpectedExitCode, // any other end; the user is told the code
    TimedOut,           // still running after the time-out: it was ended, with what it started
    NotStarted,         // the system could not start it
};

struct ProgrammerRun {
    ProgrammerEnd end = ProgrammerEnd::NotStarted;
    uint32_t exitCode = 0;    // for UnexpectedExitCode
    std::string startFailure; // for NotStarted: the system's reason
};

// Handles the window's pending messages; called on every pass of the wait. May be empty.
using MessagePump = std::function<void()>;

// Starts the programmer hidden and waits for it, handling the window's messages throughout. After more
// than timeoutMs it is ended, with what it started, and the wait goes on until they are gone.
ProgrammerRun RunProgrammer(const ProgrammerInvocation& invocation, uint32_t timeoutMs = kProgrammerTimeoutMs,
                            const MessagePump& pump = {});

// The wait for a process already started, one pass at a time, for a caller that keeps its own time: each
// pass reads the exit code, then checks the time (so an exit code 0 read in the pass where the time runs
// out still counts). Once the time is out, the programmer is ended with what it started, and the run is
// over (TimedOut) when it is gone. The caller waits up to kPassWaitMs between passes: on the process, or on
// its events.
class ProgrammerWait {
public:
    ProgrammerWait(platform::ProcessStatus& process, uint32_t timeoutMs);
    // How the run ended, or none while the programmer still runs within its time, or is being ended.
    std::optional<ProgrammerRun> pass();
    // The time ran out and the programmer is being ended.
    bool ending() const { return ending_; }

private:
    platform::ProcessStatus& process_;
    uint32_t timeoutMs_;
    uint32_t start_;
    bool ending_ = false;
    uint32_t endingSince_ = 0;
};

// The whole wait, blocking: each pass handles the caller's messages, then the pass above, then waits on
// the process for at most kPassWaitMs.
ProgrammerRun WaitForProgrammer(platform::ProcessStatus& process, uint32_t timeoutMs,
                                const MessagePump& pump = {});

} // namespace qbv::programming
