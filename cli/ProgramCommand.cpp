#include "BoardLink.h"
#include "Commands.h"
#include "ExitCode.h"
#include "ProgressLine.h"
#include "common/Texts.h"
#include "platform/Clock.h"
#include "common/Format.h"
#include "platform/Interrupt.h"
#include "programming/DownloadMaxIICode.h"

#include <optional>

namespace qbv::cli {

namespace {

// One programming job without a window: the core's statuses become lines, its waits redraw the progress
// and look for Ctrl+C.
class ProgramJob {
public:
    ProgramJob(const Invocation& call, Reporter& reporter, ConsoleUiHost& host)
        : call_(call), reporter_(reporter), console_(reporter.console()),
          progress_(reporter.json() ? console_.err : console_.out,
                    reporter.json() ? console_.errIsTerminal : console_.outIsTerminal) {
        host.setBeforeBox([this] { progress_.finish(); });
        host.setOnProcess([this] { whileWaiting(); });
    }

    int run() {
        progress_.start(text::kDownloadStart);
        bool ok = false;
        // The terminal's Ctrl+C reaches qbv, never the programmer: it runs in a process group of its own.
        ok = programming::DownloadMaxIICode(
            [this](const std::string& words, colour::Colour colour) { showStatus(words, colour); },
            call_.timeoutMs, &whyNotStarted_);
        progress_.stop();
        if (abandoned_)
            return kExitInterrupted; // reported when it happened
        if (!ok)
            return reportFailure();
        return reconnect();
    }

private:
    void showStatus(const std::string& words, colour::Colour colour) {
        if (words == text::kDownloadRunning)
            runningSince_ = platform::tickCount();
        // The red end is the command's failure, reported once with its exit code; after an interrupt the
        // run has already said its last word.
        if (colour == colour::kRed || abandoned_)
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
                          JsonObject().addBool("programmed", false));
        console_.leave(kExitInterrupted);
    }

    // A programmer that was still running when the time ran out: the core's wait ended on the time, not
    // on an exit code. (An exit code read in the very pass where the time ran out is one the core also
    // counts only when it is success.)
    bool timedOut() const {
        return runningSince_ && platform::elapsedSince(*runningSince_) > call_.timeoutMs;
    }

    int reportFailure() {
        if (!whyNotStarted_.empty())
            return reporter_.failure(kExitProgrammingFailed,
                                     formatText("%s: %s", text::kDownloadFail, whyNotStarted_.c_str()),
                                     JsonObject().addBool("programmed", false).addBool("timedOut", false));
        if (!timedOut())
            return reporter_.failure(kExitProgrammingFailed, text::kDownloadFail,
                                     JsonObject().addBool("programmed", false).addBool("timedOut", false));
        return reporter_.failure(kExitTimeout,
                                 formatText("%s: the programmer did not end within %u ms and is left running",
                                            text::kDownloadFail, static_cast<unsigned>(call_.timeoutMs)),
                                 JsonObject().addBool("programmed", false).addBool("timedOut", true));
    }

    int reconnect() {
        reporter_.status(formatText(text::kConnecting, text::kBoardName));
        BoardLink link;
        const JsonObject programmed = JsonObject().addBool("programmed", true);
        if (const int failed = link.connect(reporter_, programmed))
            return failed;
        reporter_.result(formatText(text::kConnectSuccess, text::kBoardName),
                         JsonObject(programmed).addNumber("keys", link.keysAtConnect()));
        return kExitSuccess;
    }

    const Invocation& call_;
    Reporter& reporter_;
    Console& console_;
    ProgressLine progress_;
    std::optional<uint32_t> runningSince_;
    std::string whyNotStarted_;
    bool abandoned_ = false;
};

} // namespace

int runProgram(const Invocation& call, Reporter& reporter, ConsoleUiHost& host) {
    return ProgramJob(call, reporter, host).run();
}

} // namespace qbv::cli
