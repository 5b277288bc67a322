#include "BoardLink.h"

#include "ExitCode.h"
#include "board/BoardProtocol.h"
#include "board/Connection.h"
#include "common/Format.h"
#include "common/Texts.h"
#include "platform/Clock.h"

namespace qbv::cli {

namespace {
// How often a link in use is tried again while waiting for it.
constexpr uint32_t kRetryMs = 100;
// Instead of the library's reason once qbv waited: that advises waiting.
constexpr const char* kStillInUse = "The link is still in use by another program after waiting %u s.";
} // namespace

BoardLink::~BoardLink() {
    close();
}

void BoardLink::close() {
    if (!port_)
        return;
    port_->Close();
    port_.reset();
}

// Scripts that share a board take turns: an attempt that finds the link in use is made again until the link
// is free, the wait is over or the user presses Ctrl+C.
BoardLink::Tries BoardLink::tryWhileInUse(Console& console, const std::function<void()>& attempt) {
    const uint32_t start = platform::tickCount();
    for (;;) {
        attempt();
        if (port_->linkError() != jtag::LinkError::InUse)
            return Tries::Ended;
        if (platform::elapsedSince(start) >= waitSeconds_ * 1000u)
            return waitSeconds_ > 0 ? Tries::WaitedOut : Tries::Ended;
        if (console.interrupted())
            return Tries::Interrupted;
        platform::sleep(kRetryMs);
    }
}

int BoardLink::connect(Reporter& reporter, const Json& extra) {
    close();
    port_ = std::make_unique<TJtagPort>();
    if (port_->error() != JtagPortError::NoError)
        reporter.message(MessageKind::Error, port_->errorString());
    board::ConnectOutcome outcome = board::ConnectOutcome::LinkNotOpened;
    const Tries tries = tryWhileInUse(reporter.console(), [this, &outcome] {
        outcome = board::ConnectPort(*port_, commandInFlight_, keysAtConnect_);
    });
    if (tries == Tries::Interrupted)
        return interrupted(reporter, extra);
    switch (outcome) {
    case board::ConnectOutcome::LibraryNotLoaded: {
        const std::string library = port_->LibraryPath();
        close();
        return reporter.failure(kExitLibrary, text::kFailLoadDriver, merged(extra, {{"library", library}}));
    }
    case board::ConnectOutcome::LinkNotOpened:
        return linkNotOpened(reporter, extra, tries);
    case board::ConnectOutcome::NoResponse:
        close();
        return reporter.failure(kExitNoResponse, formatText(text::kNoResponse, text::kBoardName), extra);
    case board::ConnectOutcome::Connected:
        break;
    }
    return kExitSuccess;
}

int BoardLink::waitUntilFree(Reporter& reporter, const Json& extra) {
    close();
    port_ = std::make_unique<TJtagPort>();
    const Tries tries = tryWhileInUse(reporter.console(), [this] { port_->Open(); });
    if (tries == Tries::Interrupted)
        return interrupted(reporter, extra);
    if (tries == Tries::WaitedOut)
        return linkNotOpened(reporter, extra, tries);
    close();
    return kExitSuccess;
}

int BoardLink::interrupted(Reporter& reporter, const Json& extra) {
    close();
    return reporter.failure(kExitInterrupted, "interrupted", extra);
}

// The reason with qbv's message: the library's own, when it gives one, or how long qbv waited.
int BoardLink::linkNotOpened(Reporter& reporter, const Json& extra, Tries tries) {
    const std::string reason =
        tries == Tries::WaitedOut ? formatText(kStillInUse, waitSeconds_) : port_->linkErrorString();
    close();
    return reporter.failure(kExitLinkNotOpened, formatText(text::kFailConnectChecklist, text::kBoardName),
                            reason.empty() ? extra : merged(extra, {{"reason", reason}}), reason);
}

bool BoardLink::send(int32_t command, uint8_t* data) {
    return port_ && port_->IsOpen() && board::SendCommand(*port_, commandInFlight_, command, data);
}

} // namespace qbv::cli
