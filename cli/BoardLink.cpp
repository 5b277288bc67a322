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

// Scripts that share a board take turns: a link in use is tried again until it is free or the wait is over.
board::ConnectOutcome BoardLink::connectWaiting() {
    const uint32_t start = platform::tickCount();
    for (;;) {
        const board::ConnectOutcome outcome = board::ConnectPort(*port_, commandInFlight_, keysAtConnect_);
        if (outcome != board::ConnectOutcome::LinkNotOpened || port_->linkError() != jtag::LinkError::InUse ||
            platform::elapsedSince(start) >= waitSeconds_ * 1000u)
            return outcome;
        platform::sleep(kRetryMs);
    }
}

int BoardLink::connect(Reporter& reporter, const Json& extra) {
    close();
    port_ = std::make_unique<TJtagPort>();
    if (port_->error() != JtagPortError::NoError)
        reporter.message(MessageKind::Error, port_->errorString());
    switch (connectWaiting()) {
    case board::ConnectOutcome::LibraryNotLoaded: {
        const std::string library = port_->LibraryPath();
        close();
        return reporter.failure(kExitLibrary, text::kFailLoadDriver, merged(extra, {{"library", library}}));
    }
    case board::ConnectOutcome::LinkNotOpened: {
        // The library's own reason, when it gives one, with qbv's message.
        const std::string reason = port_->linkErrorString();
        close();
        return reporter.failure(kExitLinkNotOpened, formatText(text::kFailConnectChecklist, text::kBoardName),
                                reason.empty() ? extra : merged(extra, {{"reason", reason}}), reason);
    }
    case board::ConnectOutcome::NoResponse:
        close();
        return reporter.failure(kExitNoResponse, formatText(text::kNoResponse, text::kBoardName), extra);
    case board::ConnectOutcome::Connected:
        break;
    }
    return kExitSuccess;
}

bool BoardLink::send(int32_t command, uint8_t* data) {
    return port_ && port_->IsOpen() && board::SendCommand(*port_, commandInFlight_, command, data);
}

} // namespace qbv::cli
