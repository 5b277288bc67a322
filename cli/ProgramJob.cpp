#include "ProgramJob.h"

#include "ProgressLine.h"
#include "common/ExitCode.h"
#include "common/Format.h"
#include "common/Texts.h"
#include "programming/ProgrammingJob.h"

#include <optional>

namespace qbv::cli {

namespace {

using session::Refusal;

// One programming job without a window: its messages on standard error; the wait redraws the progress and
// looks for Ctrl+C.
class ProgramJob {
public:
    ProgramJob(uint32_t timeoutMs, Reporter& reporter)
        : timeoutMs_(timeoutMs), reporter_(reporter), console_(reporter.console()),
          progress_(reporter.json() ? console_.err : console_.out,
                    reporter.json() ? console_.errIsTerminal : console_.outIsTerminal),
          job_(reporter.console().folder, timeoutMs) {
        job_.setMessagePump([this] { whileWaiting(); });
        job_.setOutputToErrorStream(true); // standard output keeps to qbv's results
    }

    Outcome run() {
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
        if (abandoned_) {
            Outcome left;
            left.exitCode = kExitInterrupted;
            left.reported = true;
            return left;
        }
        return ok ? Outcome{} : failure();
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

    Outcome failure() {
        Outcome failed;
        switch (job_.error()) {
        case programming::ProgrammingError::TimedOut:
            failed = outcomeOf(Refusal::TimedOut,
                               formatText("%s: the programmer did not end within %u ms and was ended",
                                          text::kDownloadFail, static_cast<unsigned>(timeoutMs_)));
            break;
        case programming::ProgrammingError::ProgrammerNotStarted:
            failed = outcomeOf(Refusal::Unprogrammed,
                               formatText("%s: %s", text::kDownloadFail, job_.errorString().c_str()));
            break;
        default:
            // The job's reason, when it gives one, before qbv's message.
            failed = outcomeOf(Refusal::Unprogrammed, text::kDownloadFail, job_.reason());
        }
        failed.fields = failedJobFields(job_.error() == programming::ProgrammingError::TimedOut);
        return failed;
    }

    uint32_t timeoutMs_;
    Reporter& reporter_;
    Console& console_;
    ProgressLine progress_;
    programming::ProgrammingJob job_;
    bool abandoned_ = false;
};

} // namespace

Outcome runProgrammingJob(uint32_t timeoutMs, Reporter& reporter) {
    return ProgramJob(timeoutMs, reporter).run();
}

Json failedJobFields(bool timedOut) {
    return {{"programmed", false}, {"timedOut", timedOut}};
}

} // namespace qbv::cli
