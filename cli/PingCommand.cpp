#include "BoardLink.h"
#include "Commands.h"
#include "common/ExitCode.h"
#include "common/Format.h"
#include "common/Texts.h"

namespace qbv::cli {

int runPing(const Invocation& call, Reporter& reporter) {
    Board board(call.waitSeconds, reporter);
    const Outcome outcome = board.carryOut([](BoardLink& link) { return link.ping(); });
    if (!outcome.done())
        return board.report(outcome);
    reporter.result(formatText(text::kConnectSuccess, text::kBoardName),
                    {{"keys", outcome.keys.value_or(0)}});
    return kExitSuccess;
}

} // namespace qbv::cli
