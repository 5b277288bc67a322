#include "RunProgrammer.h"

#include "common/Texts.h"
#include "platform/Clock.h"
#include "common/Format.h"
#include "platform/UiHost.h"

namespace qbv::programming {

namespace {

enum class Outcome { Running, Succeeded, Failed };

Outcome judgeExitCode(std::optional<uint32_t> code) {
    if (!code)
        return Outcome::Failed;
    switch (*code) {
    case 0:
        return Outcome::Succeeded;
    case platform::kStillActive:
        return Outcome::Running;
    case kProgrammerFailedExit:
    case platform::kControlCExit:
        return Outcome::Failed;
    default:
        uiHost().messageBox(BoxKind::Information, formatText(text::kExitCode, *code), BoxButtons::Ok);
        return Outcome::Failed;
    }
}

} // namespace

bool WaitForProgrammer(platform::ProcessStatus& process, uint32_t timeoutMs) {
    const uint32_t start = platform::tickCount();
    for (;;) {
        uiHost().processMessages();
        const Outcome outcome = judgeExitCode(process.exitCode());
        if (outcome != Outcome::Running)
            return outcome == Outcome::Succeeded;
        if (platform::elapsedSince(start) > timeoutMs)
            return false;
        process.waitForEnd(kPassWaitMs);
    }
}

bool RunProgrammer(const ProgrammerInvocation& invocation, uint32_t timeoutMs, std::string* whyNotStarted) {
    platform::ChildProcess programmer;
    if (!programmer.start(invocation.launch())) {
        if (whyNotStarted)
            *whyNotStarted = programmer.errorString();
        return false;
    }
    return WaitForProgrammer(programmer, timeoutMs);
}

} // namespace qbv::programming
