#include "BoardLink.h"
#include "Commands.h"
#include "ExitCode.h"
#include "common/Format.h"
#include "common/Texts.h"

namespace qbv::cli {

int runPing(const Invocation& call, Reporter& reporter) {
    BoardLink link(call.waitSeconds);
    if (const int failed = link.connect(reporter))
        return failed;
    reporter.result(formatText(text::kConnectSuccess, text::kBoardName), {{"keys", link.keysAtConnect()}});
    return kExitSuccess;
}

} // namespace qbv::cli
