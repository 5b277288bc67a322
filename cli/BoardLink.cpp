#include "BoardLink.h"

#include "board/BoardProtocol.h"
#include "board/Connection.h"
#include "common/ExitCode.h"
#include "common/Format.h"
#include "common/Texts.h"
#include "platform/Clock.h"

#include <algorithm>

namespace qbv::cli {

namespace {

// How often a refusal that passes is met again while waiting.
constexpr uint32_t kRetryMs = 100;
// How long a request may take to reach the panel, and how often Ctrl+C is looked for meanwhile.
constexpr uint32_t kSendMs = 2000;
constexpr uint32_t kSliceMs = 100;
// The least time a try near the run's deadline still gives the panel to answer.
constexpr uint32_t kLeastAnswerMs = 500;

Outcome failed(int exitCode, std::string text, std::string reason = {}) {
    Outcome outcome;
    outcome.exitCode = exitCode;
    outcome.text = std::move(text);
    outcome.reason = std::move(reason);
    return outcome;
}

Outcome panelGone() {
    Outcome outcome = failed(kExitCommandFailed, "The control panel went away before it answered.");
    outcome.gone = true;
    return outcome;
}

} // namespace

// qbv's own link.

DirectLink::~DirectLink() {
    drop();
}

// The link closed and the library freed.
void DirectLink::drop() {
    if (port_)
        port_->Close();
    port_.reset();
    connected_ = false;
}

Outcome DirectLink::connect() {
    port_ = std::make_unique<TJtagPort>();
    if (port_->error() != JtagPortError::NoError)
        reporter_.message(MessageKind::Error, port_->errorString());
    switch (board::ConnectPort(*port_, keysAtConnect_)) {
    case board::ConnectOutcome::LibraryNotLoaded: {
        Outcome outcome = failed(kExitLibrary, text::kFailLoadDriver);
        outcome.fields = {{"library", port_->LibraryPath()}};
        drop();
        return outcome;
    }
    case board::ConnectOutcome::LinkNotOpened:
        return linkNotOpened();
    case board::ConnectOutcome::NoResponse:
        drop();
        return failed(kExitNoResponse, formatText(text::kNoResponse, text::kBoardName));
    case board::ConnectOutcome::Connected:
        connected_ = true;
        return {};
    }
    return {};
}

// The checklist with the library's own reason; a link in use by another program passes.
Outcome DirectLink::linkNotOpened() {
    Outcome outcome = failed(kExitLinkNotOpened, formatText(text::kFailConnectChecklist, text::kBoardName),
                             port_->linkErrorString());
    outcome.passes = port_->linkError() == jtag::LinkError::InUse;
    drop();
    return outcome;
}

Outcome DirectLink::carryOut(const session::ScriptRequest& request) {
    // The check that the board answers is the first command's ping and key read.
    if (!connected_) {
        Outcome connected = connect();
        if (!connected.done() || request.verb == session::ScriptVerb::Ping ||
            request.verb == session::ScriptVerb::Keys || request.verb == session::ScriptVerb::Watch) {
            connected.keys = keysAtConnect_;
            return connected;
        }
    }
    int32_t command = board::kPing;
    uint8_t data = 0;
    switch (request.verb) {
    case session::ScriptVerb::Led:
        command = board::kSetLeds;
        data = request.mask;
        break;
    case session::ScriptVerb::Pin:
        command = board::kSetGpioPin;
        data = board::pinByte(request.pin, request.on);
        break;
    case session::ScriptVerb::Keys:
    case session::ScriptVerb::Watch:
        command = board::kReadKeys;
        break;
    default:
        break;
    }
    if (!board::SendCommand(*port_, command, &data))
        return failed(kExitCommandFailed, session::commandFailure(request.verb));
    Outcome done;
    if (command == board::kReadKeys)
        done.keys = data;
    return done;
}

Outcome DirectLink::checkFree() {
    port_ = std::make_unique<TJtagPort>();
    if (port_->Open() || port_->linkError() != jtag::LinkError::InUse) {
        // Any other reason the link does not open is the check after programming's to report.
        drop();
        return {};
    }
    return linkNotOpened();
}

// A running panel's link.

bool PanelLink::open() {
    const std::string address = platform::localServerAddress(session::panelServerName());
    if (address.empty())
        return false;
    const platform::LocalChannel::Opened opened = channel_.open(address);
    full_ = opened == platform::LocalChannel::Opened::Busy;
    return opened == platform::LocalChannel::Opened::Yes || full_;
}

Outcome PanelLink::carryOut(const session::ScriptRequest& request) {
    // A panel that takes no connection still holds the board: qbv waits for it as for a busy one.
    if (full_) {
        Outcome outcome =
            failed(kExitPanelBusy, "The control panel takes no connection now: it may be stopped.");
        outcome.passes = true;
        return outcome;
    }
    if (!channel_.send(session::scriptRequestLine(request), kSendMs))
        return panelGone();
    std::string line;
    if (!receiveReply(line) && interrupted_())
        return failed(kExitInterrupted, "interrupted");
    session::ScriptReply reply;
    if (line.empty() && channel_.isOpen()) {
        // Still there but silent past its time: a stopped panel holds the board as a busy one does.
        channel_.close();
        const uint32_t limit = started_ ? jobMs_ : answerMs_;
        Outcome silent = failed(kExitPanelBusy, formatText("The control panel did not answer within %u s: it "
                                                           "may be stopped.",
                                                           static_cast<unsigned>((limit + 999) / 1000)));
        silent.passes = !started_;
        return silent;
    }
    if (line.empty() || !session::parseScriptReply(line, reply)) {
        channel_.close();
        return panelGone();
    }
    Outcome outcome = failed(exitCodeOf(reply.refusal), reply.text, reply.reason);
    outcome.keys = reply.keys;
    outcome.passes = session::refusalRow(reply.refusal).passes;
    return outcome;
}

// The reply's line, looked for in slices so that Ctrl+C is noticed while a long request (a job) runs; the
// events before it taken on the way. False, with the line empty, when Ctrl+C came first, the panel hung up
// or stayed silent past its limit: the answer limit, then, once it said its job started, the job's.
bool PanelLink::receiveReply(std::string& line) {
    uint32_t start = platform::tickCount();
    for (;;) {
        line.clear();
        if (channel_.receiveLine(line, kSliceMs)) {
            session::ScriptReply event;
            if (!session::parseScriptReply(line, event) || !event.started)
                return true;
            started_ = true;
            start = platform::tickCount();
            onStarted_();
            continue;
        }
        if (!channel_.isOpen() || platform::elapsedSince(start) >= (started_ ? jobMs_ : answerMs_) ||
            interrupted_())
            return false;
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

// The board for one run.

// Every try ends by the run's deadline: the wait when there is one, else the request's own time; a job the
// panel said it started, by the job's time.
BoardLink& Board::link() {
    if (!link_) {
        auto panel = std::make_unique<PanelLink>();
        if (panel->open()) {
            // --wait bounds every wait, the panel's silence included; without it the request's own time does.
            const uint32_t deadline = waitSeconds_ > 0 ? waitSeconds_ * 1000u : answerMs_;
            const uint32_t spent = platform::elapsedSince(start_);
            panel->setAnswerLimit(std::max(spent < deadline ? deadline - spent : 0u, kLeastAnswerMs));
            panel->setJobLimit(answerMs_);
            panel->setInterrupted(reporter_.console().interrupted);
            link_ = std::move(panel);
        } else {
            link_ = std::make_unique<DirectLink>(reporter_);
        }
    }
    return *link_;
}

PanelLink* Board::panel() {
    return link_ && link_->isPanel() ? static_cast<PanelLink*>(link_.get()) : nullptr;
}

Outcome Board::carryOut(const session::ScriptRequest& request) {
    return waiting([&request](BoardLink& link) { return link.carryOut(request); });
}

Outcome Board::waiting(const std::function<Outcome(BoardLink&)>& attempt) {
    const uint32_t start = platform::tickCount();
    start_ = start;
    bool goneOnce = false;
    for (;;) {
        Outcome outcome = attempt(link());
        // A panel that went away leaves the board to qbv: the request goes again, once, whichever way is
        // there now.
        if (outcome.gone && !std::exchange(goneOnce, true)) {
            link_.reset();
            continue;
        }
        if (!outcome.passes)
            return outcome;
        const bool fromPanel = link_->isPanel();
        // Each try finds the board anew: a panel that ended meanwhile leaves it to qbv's own link.
        link_.reset();
        if (platform::elapsedSince(start) >= waitSeconds_ * 1000u) {
            if (waitSeconds_ > 0)
                outcome.reason = formatText(fromPanel ? "The control panel was still busy after waiting %u s."
                                                      : "The link is still in use by another program after "
                                                        "waiting %u s.",
                                            static_cast<unsigned>(waitSeconds_));
            return outcome;
        }
        if (reporter_.console().interrupted())
            return failed(kExitInterrupted, "interrupted");
        platform::sleep(kRetryMs);
    }
}

int Board::report(const Outcome& outcome, const Json& fields) {
    return reporter_.failure(outcome.exitCode, outcome.text, merged(outcome.fields, fields), outcome.reason);
}

int exitCodeOf(session::Refusal refusal) {
    return session::refusalRow(refusal).exitCode;
}

} // namespace qbv::cli
