#include "BoardLink.h"
#include "Commands.h"
#include "ProgressLine.h"
#include "common/ExitCode.h"
#include "common/Format.h"
#include "common/Texts.h"
#include "programming/ProgrammingJob.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace qbv::cli {

namespace {

// How long a panel takes after its programmer to connect again and say so; and, closing, to end.
constexpr uint32_t kPanelConnectsMs = 30000;
constexpr uint32_t kPanelEndsSeconds = 10;

// One programming job without a window: the core's steps, with their statuses as lines and their
// messages on standard error; the wait redraws the progress and looks for Ctrl+C.
class ProgramJob {
public:
    ProgramJob(const Invocation& call, Reporter& reporter)
        : call_(call), reporter_(reporter), console_(reporter.console()),
          progress_(reporter.json() ? console_.err : console_.out,
                    reporter.json() ? console_.errIsTerminal : console_.outIsTerminal),
          job_(call.timeoutMs) {
        job_.setMessagePump([this] { whileWaiting(); });
        job_.setOutputToErrorStream(true); // standard output keeps to qbv's results
    }

    int run() {
        progress_.start(text::kDownloadStart);
        showStatus(text::kDownloadStart);
        // The terminal's Ctrl+C reaches qbv, never the programmer: it runs in a process group of its own.
        bool ok = job_.prepare();
        if (ok) {
            showStatus(text::kDownloadRunning);
            ok = job_.run();
        }
        if (const std::optional<MessageKind> kind = programming::messageKindOf(job_.error())) {
            progress_.finish();
            reporter_.message(*kind, job_.errorString());
        }
        if (ok)
            showStatus(text::kDownloadSuccess);
        progress_.stop();
        if (abandoned_)
            return kExitInterrupted; // reported when it happened
        if (!ok)
            return reportFailure();
        return reconnect(call_, reporter_);
    }

private:
    // The failure's red status is the command's failure, reported once with its exit code; after an
    // interrupt the run has already said its last word.
    void showStatus(const char* words) {
        if (abandoned_)
            return;
        progress_.finish();
        reporter_.status(words);
        progress_.setCaption(words);
    }

    void whileWaiting() {
        progress_.update();
        if (abandoned_ || !console_.interrupted())
            return;
        abandoned_ = true;
        progress_.stop();
        reporter_.failure(kExitInterrupted, "interrupted; the programmer is left to finish on its own",
                          {{"programmed", false}});
        console_.leave(kExitInterrupted);
    }

    int reportFailure() {
        const Json notProgrammed = {{"programmed", false}};
        switch (job_.error()) {
        case programming::ProgrammingError::TimedOut:
            return reporter_.failure(kExitTimeout,
                                     formatText("%s: the programmer did not end within %u ms and was ended",
                                                text::kDownloadFail, static_cast<unsigned>(call_.timeoutMs)),
                                     merged(notProgrammed, {{"timedOut", true}}));
        case programming::ProgrammingError::ProgrammerNotStarted:
            return reporter_.failure(kExitProgrammingFailed,
                                     formatText("%s: %s", text::kDownloadFail, job_.errorString().c_str()),
                                     merged(notProgrammed, {{"timedOut", false}}));
        default: {
            // The job's reason, when it gives one, before qbv's message.
            const std::string& reason = job_.reason();
            const Json fields = merged(notProgrammed, {{"timedOut", false}});
            return reporter_.failure(kExitProgrammingFailed, text::kDownloadFail, fields, reason);
        }
        }
    }

public:
    // After programming, whether the board answers: asked over whichever link there is now, waiting at
    // least the given time for a panel that is closing to end.
    static int reconnect(const Invocation& call, Reporter& reporter, uint32_t leastWaitSeconds = 0) {
        reporter.status(formatText(text::kConnecting, text::kBoardName));
        Board board(std::max(call.waitSeconds, leastWaitSeconds), reporter);
        const Json programmed = {{"programmed", true}};
        const Outcome connected = board.carryOut({session::ScriptVerb::Ping});
        if (!connected.done())
            return board.report(connected, programmed);
        reporter.result(formatText(text::kConnectSuccess, text::kBoardName),
                        merged(programmed, {{"keys", connected.keys.value_or(0)}}));
        return kExitSuccess;
    }

private:
    const Invocation& call_;
    Reporter& reporter_;
    Console& console_;
    ProgressLine progress_;
    programming::ProgrammingJob job_;
    bool abandoned_ = false;
};

// A panel held the board and programmed in its own job, shown there: qbv says how it ended. A panel that
// ended after programming, before it connected again, leaves the check that the board answers to qbv.
int programmedByPanel(const Outcome& outcome, bool wentAway, const Invocation& call, Reporter& reporter,
                      Board& board) {
    const Json notProgrammed = {{"programmed", false}};
    switch (outcome.exitCode) {
    case kExitSuccess:
        // The panel ends a moment after its answer: the board is asked once it has.
        if (!outcome.keys)
            return ProgramJob::reconnect(call, reporter, kPanelEndsSeconds);
        reporter.result(formatText(text::kConnectSuccess, text::kBoardName),
                        {{"programmed", true}, {"keys", *outcome.keys}});
        return kExitSuccess;
    case kExitNoResponse:
        return board.report(outcome, {{"programmed", true}});
    case kExitTimeout:
    case kExitProgrammingFailed:
        return board.report(outcome, merged(notProgrammed, {{"timedOut", outcome.exitCode == kExitTimeout}}));
    case kExitInterrupted:
        return reporter.failure(kExitInterrupted, "interrupted; the control panel's job goes on",
                                notProgrammed);
    default:
        if (wentAway)
            return reporter.failure(kExitProgrammingFailed,
                                    "The control panel went away before it said how programming ended.",
                                    notProgrammed);
        return board.report(outcome, notProgrammed);
    }
}

} // namespace

// Through a panel when one holds the board; else qbv's own job, which with --wait first waits for the link
// to be free: it must not reprogram the board under another program's link. Only a panel that started the
// job says how it ended: a refusal it met, and the free link after it ended, are not its success.
int runProgram(const Invocation& call, Reporter& reporter) {
    Board board(call.waitSeconds, reporter);
    // The panel's job takes the programmer's time and the connection after it.
    board.setAnswerLimit(call.timeoutMs + kPanelConnectsMs);
    bool panelStarted = false;
    bool wentAway = false;
    const Outcome outcome = board.waiting([&](BoardLink& link) -> Outcome {
        if (!link.isPanel())
            return call.waitSeconds > 0 ? static_cast<DirectLink&>(link).checkFree() : Outcome{};
        auto& panel = static_cast<PanelLink&>(link);
        panel.setOnStarted([&] { reporter.status("The control panel programs the MAX II ..."); });
        Outcome asked = panel.carryOut({session::ScriptVerb::Program});
        panelStarted = panel.started();
        // A panel gone in the middle of its job may have programmed: nothing is started after it. One gone
        // before it started leaves the board to qbv.
        if (panelStarted)
            wentAway = std::exchange(asked.gone, false);
        return asked;
    });
    if (panelStarted)
        return programmedByPanel(outcome, wentAway, call, reporter, board);
    if (!outcome.done())
        return board.report(outcome, {{"programmed", false}});
    board.release();
    return ProgramJob(call, reporter).run();
}

} // namespace qbv::cli
