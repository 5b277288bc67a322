#include "BoardLink.h"
#include "Commands.h"
#include "ExitCode.h"
#include "ProgressLine.h"
#include "common/Format.h"
#include "common/Texts.h"
#include "programming/ProgrammingJob.h"

#include <optional>

namespace qbv::cli {

namespace {

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
        // With --wait the programmer waits too: it must not reprogram the board under another program's link.
        if (call_.waitSeconds > 0)
            if (const int failed =
                    BoardLink(call_.waitSeconds).waitUntilFree(reporter_, {{"programmed", false}}))
                return failed;
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
        return reconnect();
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
            return reporter_.failure(
                kExitTimeout,
                formatText("%s: the programmer did not end within %u ms and is left running",
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

    int reconnect() {
        reporter_.status(formatText(text::kConnecting, text::kBoardName));
        BoardLink link(call_.waitSeconds);
        const Json programmed = {{"programmed", true}};
        if (const int failed = link.connect(reporter_, programmed))
            return failed;
        reporter_.result(formatText(text::kConnectSuccess, text::kBoardName),
                         merged(programmed, {{"keys", link.keysAtConnect()}}));
        return kExitSuccess;
    }

    const Invocation& call_;
    Reporter& reporter_;
    Console& console_;
    ProgressLine progress_;
    programming::ProgrammingJob job_;
    bool abandoned_ = false;
};

// A panel holds the board: programming is the panel's own job, shown there, and qbv says how it ended.
int programThroughPanel(PanelLink& panel, const Invocation& call, Reporter& reporter) {
    reporter.status("The control panel programs the MAX II ...");
    const Json notProgrammed = {{"programmed", false}};
    session::ScriptReply reply;
    switch (panel.askWaiting({session::ScriptVerb::Program}, reply, call.waitSeconds, reporter.console())) {
    case PanelLink::Asked::Gone:
        return reporter.failure(kExitProgrammingFailed,
                                "The control panel went away before it said how programming ended.",
                                notProgrammed);
    case PanelLink::Asked::Interrupted:
        return reporter.failure(kExitInterrupted, "interrupted; the control panel's job goes on",
                                notProgrammed);
    case PanelLink::Asked::WaitedOut:
        return panelRefused(reporter, reply, notProgrammed, call.waitSeconds);
    case PanelLink::Asked::Answered:
        break;
    }
    switch (reply.refusal) {
    case session::Refusal::None: {
        session::ScriptReply keys;
        panel.ask({session::ScriptVerb::Keys}, keys);
        reporter.result(formatText(text::kConnectSuccess, text::kBoardName),
                        {{"programmed", true}, {"keys", keys.keys.value_or(0)}});
        return kExitSuccess;
    }
    case session::Refusal::Unanswered:
        return panelRefused(reporter, reply, {{"programmed", true}}, 0);
    case session::Refusal::TimedOut:
    case session::Refusal::Unprogrammed:
        return panelRefused(
            reporter, reply,
            merged(notProgrammed, {{"timedOut", reply.refusal == session::Refusal::TimedOut}}), 0);
    default:
        return panelRefused(reporter, reply, notProgrammed, 0);
    }
}

} // namespace

int runProgram(const Invocation& call, Reporter& reporter) {
    PanelLink panel;
    if (panel.open())
        return programThroughPanel(panel, call, reporter);
    return ProgramJob(call, reporter).run();
}

} // namespace qbv::cli
