#include "BoardLink.h"

#include "ProgramJob.h"

#include "board/BoardProtocol.h"
#include "board/Connection.h"
#include "common/ExitCode.h"
#include "common/Format.h"
#include "common/Texts.h"
#include "platform/Clock.h"

#include <algorithm>
#include <utility>

namespace qbv::cli {

namespace {

using session::Refusal;
using session::ScriptVerb;

// How often a refusal that passes is met again while waiting.
constexpr uint32_t kRetryMs = 100;
// How long a request may take to reach the panel, and how often Ctrl+C is looked for meanwhile.
constexpr uint32_t kSendMs = 2000;
constexpr uint32_t kSliceMs = 100;
// The least time a try near the run's deadline still gives the panel to answer.
constexpr uint32_t kLeastAnswerMs = 500;
// How long a panel that ended after programming may take to end.
constexpr uint32_t kPanelEndsSeconds = 10;

Outcome interrupted() {
    Outcome outcome;
    outcome.exitCode = kExitInterrupted;
    outcome.text = "interrupted";
    return outcome;
}

// The command qbv's own link sends for a request: a watch's first state is a key read of its own.
// Programming is no command: it runs the programmer.
int32_t boardCommand(ScriptVerb verb) {
    return verb == ScriptVerb::Ping  ? board::kPing
           : verb == ScriptVerb::Led ? board::kSetLeds
           : verb == ScriptVerb::Pin ? board::kSetGpioPin
                                     : board::kReadKeys;
}

Outcome panelGone() {
    Outcome outcome = outcomeOf(Refusal::Failed, "The control panel went away before it answered.");
    outcome.gone = true;
    return outcome;
}

} // namespace

Outcome outcomeOf(Refusal refusal, std::string text, std::string reason) {
    const session::RefusalRow& row = session::refusalRow(refusal);
    Outcome outcome;
    outcome.exitCode = row.exitCode;
    outcome.passes = row.passes;
    outcome.text = std::move(text);
    outcome.reason = std::move(reason);
    return outcome;
}

Outcome outcomeOf(Refusal refusal) {
    return outcomeOf(refusal, session::refusalWords(refusal));
}

Outcome outcomeOf(const session::ScriptReply& reply) {
    Outcome outcome = outcomeOf(reply.refusal, reply.text, reply.reason);
    outcome.keys = reply.keys;
    return outcome;
}

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
    port_ = std::make_unique<TJtagPort>(reporter_.console().folder);
    if (port_->error() != JtagPortError::NoError)
        reporter_.message(MessageKind::Error, port_->errorString());
    switch (board::ConnectPort(*port_, keysAtConnect_)) {
    case board::ConnectOutcome::LibraryNotLoaded: {
        Outcome outcome = outcomeOf(Refusal::NoLibrary);
        outcome.fields = {{"library", port_->LibraryPath()}};
        drop();
        return outcome;
    }
    case board::ConnectOutcome::LinkNotOpened:
        return linkNotOpened();
    case board::ConnectOutcome::NoResponse:
        drop();
        return outcomeOf(Refusal::Unanswered);
    case board::ConnectOutcome::Connected:
        connected_ = true;
        break;
    }
    Outcome connected;
    connected.keys = keysAtConnect_;
    return connected;
}

// The checklist with the library's own reason; a link in use by another program passes.
Outcome DirectLink::linkNotOpened() {
    Outcome outcome =
        outcomeOf(Refusal::NotConnected, formatText(text::kFailConnectChecklist, text::kBoardName),
                  port_->linkErrorString());
    outcome.passes = port_->linkError() == jtag::LinkError::InUse;
    drop();
    return outcome;
}

// The request as the board's command. The first command's check that the board answers, its ping and key
// read, is all that a ping or a key read asks for.
Outcome DirectLink::ask(const session::ScriptRequest& request) {
    const int32_t command = boardCommand(request.verb);
    if (!connected_) {
        Outcome connected = connect();
        if (!connected.done() || command == board::kPing || command == board::kReadKeys)
            return connected;
    }
    uint8_t data = session::commandData(request);
    if (!board::SendCommand(*port_, command, &data))
        return outcomeOf(Refusal::Failed, session::commandFailure(request.verb));
    Outcome done;
    if (command == board::kReadKeys)
        done.keys = data;
    return done;
}

// A read of its own, as the panel polls.
Outcome DirectLink::nextKeys() {
    platform::sleep(board::kPollIntervalMs); // as the panel polls the keys
    if (reporter_.console().interrupted())
        return interrupted();
    return readKeys();
}

// The board must not be reprogrammed under another program's link: a run that waits for it checks first
// that it is free. The job runs with the link closed.
Outcome DirectLink::program(uint32_t timeoutMs) {
    if (waits_) {
        const Outcome free = checkFree();
        if (!free.done())
            return free;
    }
    drop();
    return runProgrammingJob(timeoutMs, reporter_);
}

// The link opened and closed again without a word to the board: the programmer needs the link free but
// not the board answering.
Outcome DirectLink::checkFree() {
    port_ = std::make_unique<TJtagPort>(reporter_.console().folder);
    if (port_->Open() || port_->linkError() != jtag::LinkError::InUse) {
        // Any other reason the link does not open is the check after programming's to report.
        drop();
        return {};
    }
    return linkNotOpened();
}

std::string DirectLink::stillRefused(uint32_t waitedSeconds) const {
    return formatText("The link is still in use by another program after waiting %u s.",
                      static_cast<unsigned>(waitedSeconds));
}

// A running panel's link.

bool PanelLink::open() {
    const std::string address =
        platform::localServerAddress(session::panelServerName(reporter_.console().folder));
    if (address.empty())
        return false;
    const platform::LocalChannel::Opened opened = channel_.open(address);
    full_ = opened == platform::LocalChannel::Opened::Busy;
    return opened == platform::LocalChannel::Opened::Yes || full_;
}

Outcome PanelLink::ask(const session::ScriptRequest& request) {
    // A panel that takes no connection still holds the board: qbv waits for it as for a busy one.
    if (full_)
        return outcomeOf(Refusal::Busy, "The control panel takes no connection now: it may be stopped.");
    if (!channel_.send(session::scriptRequestLine(request), kSendMs))
        return panelGone();
    std::string line;
    if (!receiveReply(line) && interrupted_())
        return interrupted();
    session::ScriptReply reply;
    if (line.empty() && channel_.isOpen()) {
        // Still there but silent past its time: a stopped panel holds the board as a busy one does.
        channel_.close();
        const uint32_t limit = started_ ? jobMs_ : answerMs_;
        Outcome silent = outcomeOf(Refusal::Busy, formatText("The control panel did not answer within %u s: "
                                                             "it may be stopped.",
                                                             static_cast<unsigned>((limit + 999) / 1000)));
        silent.passes = !started_;
        return silent;
    }
    if (line.empty() || !session::parseScriptReply(line, reply)) {
        channel_.close();
        return panelGone();
    }
    return outcomeOf(reply);
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
            reporter_.status("The control panel programs the MAX II ...");
            continue;
        }
        if (!channel_.isOpen() || platform::elapsedSince(start) >= (started_ ? jobMs_ : answerMs_) ||
            interrupted_())
            return false;
    }
}

// A change the panel's own polls found, nothing within a slice, or the panel's last word, which ends the
// watch; a panel that hung up has lost the link.
Outcome PanelLink::nextKeys() {
    if (interrupted_())
        return interrupted();
    std::string line;
    session::ScriptReply reply;
    if (channel_.receiveLine(line, kSliceMs))
        return session::parseScriptReply(line, reply) ? outcomeOf(reply) : outcomeOf(Refusal::Failed);
    return channel_.isOpen() ? Outcome{} : outcomeOf(Refusal::Failed);
}

// The panel's own job, shown there, with the panel's own programmer time. Until the panel says that it
// started, a refusal, or a panel gone, is one as for any request; after, its end is how programming ended,
// and nothing is asked again: the board may be programmed.
Outcome PanelLink::program(uint32_t) {
    Outcome ended = ask({ScriptVerb::Program});
    if (!started_)
        return ended;
    ended.passes = false;
    if (ended.gone)
        return outcomeOf(Refusal::Unprogrammed,
                         "The control panel went away before it said how programming ended.");
    switch (ended.exitCode) {
    case kExitSuccess:
        // The panel ends a moment after an answer without the keys: the board is asked once it has.
        if (!ended.keys)
            ended.leastWaitSeconds = kPanelEndsSeconds;
        break;
    case kExitNoResponse:
        ended.fields = {{"programmed", true}};
        break;
    case kExitTimeout:
    case kExitProgrammingFailed:
        ended.fields = failedJobFields(ended.exitCode == kExitTimeout);
        break;
    case kExitInterrupted:
        ended.text = "interrupted; the control panel's job goes on";
        break;
    default:
        break;
    }
    return ended;
}

std::string PanelLink::stillRefused(uint32_t waitedSeconds) const {
    return formatText("The control panel was still busy after waiting %u s.",
                      static_cast<unsigned>(waitedSeconds));
}

// The board for one run.

// Every try ends by the run's deadline: the wait when there is one, else the request's own time; a job the
// panel said it started, by the job's time.
BoardLink& Board::link() {
    if (!link_) {
        auto panel = std::make_unique<PanelLink>(reporter_);
        if (panel->open()) {
            // --wait bounds every wait, the panel's silence included; without it the request's own time does.
            const uint32_t deadline = waitSeconds_ > 0 ? waitSeconds_ * 1000u : answerMs_;
            const uint32_t spent = platform::elapsedSince(start_);
            panel->setAnswerLimit(std::max(spent < deadline ? deadline - spent : 0u, kLeastAnswerMs));
            panel->setJobLimit(answerMs_);
            panel->setInterrupted(reporter_.console().interrupted);
            link_ = std::move(panel);
        } else {
            link_ = std::make_unique<DirectLink>(reporter_, waitSeconds_ > 0);
        }
    }
    return *link_;
}

Outcome Board::carryOut(const std::function<Outcome(BoardLink&)>& operation) {
    const uint32_t start = platform::tickCount();
    start_ = start;
    bool goneOnce = false;
    for (;;) {
        Outcome outcome = operation(link());
        // A panel that went away leaves the board to qbv: the request goes again, once, whichever way is
        // there now.
        if (outcome.gone && !std::exchange(goneOnce, true)) {
            link_.reset();
            continue;
        }
        if (!outcome.passes)
            return outcome;
        const std::string stillRefused = link_->stillRefused(waitSeconds_);
        // Each try finds the board anew: a panel that ended meanwhile leaves it to qbv's own link.
        link_.reset();
        if (platform::elapsedSince(start) >= waitSeconds_ * 1000u) {
            if (waitSeconds_ > 0)
                outcome.reason = stillRefused;
            return outcome;
        }
        if (reporter_.console().interrupted())
            return interrupted();
        platform::sleep(kRetryMs);
    }
}

int Board::report(const Outcome& outcome, const Json& fields) {
    return reporter_.failure(outcome.exitCode, outcome.text, merged(outcome.fields, fields), outcome.reason);
}

} // namespace qbv::cli
