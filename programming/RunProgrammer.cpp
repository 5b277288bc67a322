#include "RunProgrammer.h"

#include "platform/Clock.h"

#include <optional>

namespace qbv::programming {

namespace {

// The end an exit code means, or none while the programmer still runs.
std::optional<ProgrammerEnd> judgeExitCode(std::optional<uint32_t> code) {
    if (!code)
        return ProgrammerEnd::Failed;
    switch (*code) {
    case 0:
        return ProgrammerEnd::Succeeded;
    case platform::kStillActive:
        return std::nullopt;
    case kProgrammerFailedExit:
    case platform::kControlCExit:
        return ProgrammerEnd::Failed;
    default:
        return ProgrammerEnd::UnexpectedExitCode;
    }
}

} // namespace

ProgrammerWait::ProgrammerWait(platform::ProcessStatus& process, uint32_t timeoutMs)
    : process_(process), timeoutMs_(timeoutMs), start_(platform::tickCount()) {}

std::optional<ProgrammerRun> ProgrammerWait::pass() {
    const std::optional<uint32_t> code = process_.exitCode();
    if (ending_) {
        const bool gone = code != platform::kStillActive;
        if (gone || platform::elapsedSince(endingSince_) > kProgrammerEndingMs)
            return ProgrammerRun{ProgrammerEnd::TimedOut, platform::kStillActive, {}};
        return std::nullopt;
    }
    if (const std::optional<ProgrammerEnd> end = judgeExitCode(code))
        return ProgrammerRun{*end, code.value_or(0), {}};
    if (platform::elapsedSince(start_) > timeoutMs_) {
        process_.endTree();
        ending_ = true;
        endingSince_ = platform::tickCount();
    }
    return std::nullopt;
}

ProgrammerRun WaitForProgrammer(platform::ProcessStatus& process, uint32_t timeoutMs,
                                const MessagePump& pump) {
    ProgrammerWait wait(process, timeoutMs);
    for (;;) {
        if (pump)
            pump();
        if (std::optional<ProgrammerRun> ended = wait.pass())
            return *ended;
        process.waitForEnd(kPassWaitMs);
    }
}

ProgrammerRun RunProgrammer(const ProgrammerInvocation& invocation, uint32_t timeoutMs,
                            const MessagePump& pump) {
    platform::ChildProcess programmer;
    if (!programmer.start(invocation.launch()))
        return {ProgrammerEnd::NotStarted, 0, programmer.errorString()};
    return WaitForProgrammer(programmer, timeoutMs, pump);
}

} // namespace qbv::programming
