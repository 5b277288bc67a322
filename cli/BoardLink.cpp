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
    panel_.close();
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
    if (panel_.open())
        return connectThroughPanel(reporter, extra);
    return connectToBoard(reporter, extra);
}

// The panel's ping, and the keys its own polls last read; a panel that goes away meanwhile (it was
// closing) leaves the board to qbv.
int BoardLink::connectThroughPanel(Reporter& reporter, const Json& extra) {
    session::ScriptReply reply;
    switch (panel_.askWaiting({session::ScriptVerb::Ping}, reply, waitSeconds_, reporter.console())) {
    case PanelLink::Asked::Gone:
        return connectToBoard(reporter, extra);
    case PanelLink::Asked::Interrupted:
        return interrupted(reporter, extra);
    case PanelLink::Asked::WaitedOut:
        return panelRefused(reporter, reply, extra, waitSeconds_);
    case PanelLink::Asked::Answered:
        break;
    }
    if (reply.refusal != session::Refusal::None)
        return panelRefused(reporter, reply, extra, 0);
    if (panel_.ask({session::ScriptVerb::Keys}, reply) && reply.keys)
        keysAtConnect_ = *reply.keys;
    return kExitSuccess;
}

int panelRefused(Reporter& reporter, const session::ScriptReply& reply, const Json& fields,
                 uint32_t waitedSeconds) {
    const std::string reason = waitedSeconds > 0
                                   ? formatText("The control panel was still busy after waiting %u s.",
                                                static_cast<unsigned>(waitedSeconds))
                                   : reply.reason;
    return reporter.failure(exitCodeOf(reply.refusal), reply.text, fields, reason);
}

int BoardLink::connectToBoard(Reporter& reporter, const Json& extra) {
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
                            extra, reason);
}

bool BoardLink::send(int32_t command, uint8_t* data) {
    if (panel_.isOpen())
        return sendThroughPanel(command, data);
    return port_ && port_->IsOpen() && board::SendCommand(*port_, commandInFlight_, command, data);
}

bool BoardLink::sendThroughPanel(int32_t command, uint8_t* data) {
    session::ScriptRequest request;
    switch (command) {
    case board::kSetLeds:
        request = {session::ScriptVerb::Led, *data};
        break;
    case board::kSetGpioPin:
        request = {session::ScriptVerb::Pin, 0, board::pinOf(*data), board::pinActive(*data)};
        break;
    case board::kReadKeys:
        request = {session::ScriptVerb::Keys};
        break;
    default:
        request = {session::ScriptVerb::Ping};
    }
    session::ScriptReply reply;
    if (!panel_.ask(request, reply) || reply.refusal != session::Refusal::None)
        return false;
    if (command == board::kReadKeys)
        *data = reply.keys.value_or(0);
    return true;
}

} // namespace qbv::cli
