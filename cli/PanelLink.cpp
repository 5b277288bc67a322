#include "PanelLink.h"

#include "ExitCode.h"
#include "platform/Clock.h"

namespace qbv::cli {

namespace {

// A command takes a panel well under a second; a programming job takes the programmer's minute and the
// connection after it, with a box the user may take a while to answer.
constexpr uint32_t kAnswerMs = 15000;
constexpr uint32_t kJobAnswerMs = 600000;
constexpr uint32_t kSendMs = 2000;
// How often a busy panel is asked again, and how often Ctrl+C is looked for while a reply is awaited.
constexpr uint32_t kRetryMs = 100;
constexpr uint32_t kSliceMs = 100;

bool busy(session::Refusal refusal) {
    return refusal == session::Refusal::Busy || refusal == session::Refusal::Closing;
}

} // namespace

bool PanelLink::open() {
    const std::string address = platform::localServerAddress(session::panelServerName());
    return !address.empty() && channel_.open(address) == platform::LocalChannel::Opened::Yes;
}

bool PanelLink::ask(const session::ScriptRequest& request, session::ScriptReply& reply) {
    return exchange(request, reply, [] { return false; }) == Asked::Answered;
}

PanelLink::Asked PanelLink::exchange(const session::ScriptRequest& request, session::ScriptReply& reply,
                                     const std::function<bool()>& interrupted) {
    const uint32_t answerMs = request.verb == session::ScriptVerb::Program ? kJobAnswerMs : kAnswerMs;
    if (!channel_.send(session::scriptRequestLine(request), kSendMs))
        return Asked::Gone;
    const uint32_t start = platform::tickCount();
    std::string line;
    while (!channel_.receiveLine(line, kSliceMs)) {
        if (!channel_.isOpen() || platform::elapsedSince(start) >= answerMs)
            break;
        if (interrupted())
            return Asked::Interrupted;
    }
    if (line.empty() || !session::parseScriptReply(line, reply)) {
        channel_.close();
        return Asked::Gone;
    }
    return Asked::Answered;
}

PanelLink::Asked PanelLink::askWaiting(const session::ScriptRequest& request, session::ScriptReply& reply,
                                       uint32_t waitSeconds, Console& console) {
    const uint32_t start = platform::tickCount();
    for (;;) {
        if (const Asked asked = exchange(request, reply, console.interrupted); asked != Asked::Answered)
            return asked;
        if (!busy(reply.refusal))
            return Asked::Answered;
        if (platform::elapsedSince(start) >= waitSeconds * 1000u)
            return waitSeconds > 0 ? Asked::WaitedOut : Asked::Answered;
        if (console.interrupted())
            return Asked::Interrupted;
        platform::sleep(kRetryMs);
    }
}

bool PanelLink::next(session::ScriptReply& reply, uint32_t timeoutMs, bool& timedOut) {
    std::string line;
    timedOut = false;
    if (!channel_.receiveLine(line, timeoutMs)) {
        timedOut = channel_.isOpen();
        return false;
    }
    return session::parseScriptReply(line, reply);
}

int exitCodeOf(session::Refusal refusal) {
    using session::Refusal;
    switch (refusal) {
    case Refusal::None:
        return kExitSuccess;
    case Refusal::Busy:
    case Refusal::Closing:
        return kExitPanelBusy;
    case Refusal::NotConnected:
        return kExitLinkNotOpened;
    case Refusal::Failed:
    case Refusal::BadRequest:
        return kExitCommandFailed;
    case Refusal::Unprogrammed:
        return kExitProgrammingFailed;
    case Refusal::TimedOut:
        return kExitTimeout;
    case Refusal::Unanswered:
        return kExitNoResponse;
    }
    return kExitCommandFailed;
}

} // namespace qbv::cli
