#pragma once

#include "ProgrammerInvocation.h"
#include "platform/ChildProcess.h"

#include <cstdint>

namespace qbv::programming {

// How long the programmer may take before the job gives up waiting (it is never stopped).
constexpr uint32_t kProgrammerTimeoutMs = 60000;

// The programmer's own failure code, which needs no further word to the user.
constexpr uint32_t kProgrammerFailedExit = 3;

// The longest a pass of the wait sleeps on the process, so the window's messages are handled at least
// every couple of ten milliseconds without a processor spinning.
constexpr uint32_t kPassWaitMs = 10;

// Starts the programmer hidden and waits for it; true only when it ended with exit code 0. The window's
// messages are handled throughout. An exit code other than 0, 3, Ctrl+C's or still-running first shows
// the information box "ExitCode:%Xh". After more than timeoutMs the wait gives up and reports failure;
// the programmer runs on. When the programmer cannot be started at all, whyNotStarted (if given) receives
// the system's reason.
bool RunProgrammer(const ProgrammerInvocation& invocation, uint32_t timeoutMs = kProgrammerTimeoutMs,
                   std::string* whyNotStarted = nullptr);

// The wait itself, for a process already started. Each pass handles the window's messages, reads the exit
// code, checks the time (so an exit code 0 read in the pass where the time runs out still counts), then
// waits on the process for at most kPassWaitMs.
bool WaitForProgrammer(platform::ProcessStatus& process, uint32_t timeoutMs);

} // namespace qbv::programming
