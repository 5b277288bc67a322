#include "BoardLink.h"
#include "Commands.h"
#include "common/ExitCode.h"
#include "common/Format.h"
#include "common/Texts.h"

#include <algorithm>

namespace qbv::cli {

namespace {

// How long a panel takes after its programmer to connect again and say so.
constexpr uint32_t kPanelConnectsMs = 30000;

int answered(Reporter& reporter, uint8_t keys) {
    reporter.result(formatText(text::kConnectSuccess, text::kBoardName),
                    {{"programmed", true}, {"keys", keys}});
    return kExitSuccess;
}

// After programming, whether the board answers: asked over whichever link there is now, waiting at least
// the given time for refusals that pass.
int reconnect(const Invocation& call, Reporter& reporter, uint32_t leastWaitSeconds) {
    reporter.status(formatText(text::kConnecting, text::kBoardName));
    Board board(std::max(call.waitSeconds, leastWaitSeconds), reporter);
    const Outcome connected = board.carryOut([](BoardLink& link) { return link.ping(); });
    if (!connected.done())
        return board.report(connected, {{"programmed", true}});
    return answered(reporter, connected.keys.value_or(0));
}

// The MAX II programmed through a panel when one holds the board, in its job, else in qbv's own.
Outcome programmed(const Invocation& call, Reporter& reporter) {
    Board board(call.waitSeconds, reporter);
    // The panel's job takes the programmer's time and the connection after it.
    board.setAnswerLimit(call.timeoutMs + kPanelConnectsMs);
    return board.carryOut([&call](BoardLink& link) { return link.program(call.timeoutMs); });
}

} // namespace

// Programmed, then whether the board answers, unless the link that programmed asked it already; the link
// that programmed is let go before the board is asked again.
int runProgram(const Invocation& call, Reporter& reporter) {
    const Outcome ended = programmed(call, reporter);
    if (ended.reported)
        return ended.exitCode;
    // A failure has not programmed, unless the link that programmed says otherwise.
    if (!ended.done())
        return reporter.failure(ended.exitCode, ended.text, merged({{"programmed", false}}, ended.fields),
                                ended.reason);
    if (!ended.keys)
        return reconnect(call, reporter, ended.leastWaitSeconds);
    return answered(reporter, *ended.keys);
}

} // namespace qbv::cli
