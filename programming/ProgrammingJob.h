#pragma once

#include "RunProgrammer.h"
#include "common/Messages.h"

#include <memory>
#include <optional>
#include <string>

namespace qbv::programming {

// The files beside the program: the controller design that is programmed, and the chain definition file
// written for the programmer before every run.
constexpr const char* kDesignFileName = "QBV_Control_Panel.pof";
constexpr const char* kChainFileName = "QBV_Control_Panel.cdf";
// The folder beside the program that, holding bin/quartus_pgm, is the tool chain it uses.
constexpr const char* kToolChainBeside = "quartus";

// In the program's folder (with its trailing separator).
std::string designFilePath(const std::string& folder);
std::string chainFilePath(const std::string& folder);

// The tool chain a programming job uses: its install folder (empty when none is found) and what named it;
// when none is found, where it was looked for, as a sentence.
struct ToolChain {
    std::string path;
    std::string namedBy;
    std::string lookedFor;
};
ToolChain toolChainInUse(const std::string& folder);
// Where the programmer was looked for in a tool chain that lacks it, as a sentence.
std::string lookedIn(const std::string& installDirectory, const std::string& namedBy);

// What went wrong in a programming job. The text of each is in errorString(); when a folder the job would
// use may not be trusted, reason() says which and why.
enum class ProgrammingError {
    NoError,
    NoToolChain,          // "Please make sure Quatus is installed"
    NoProgrammer,         // "Fail to find the download tool(<path>) for Max II."
    NoDesignFile,         // "Fail to find the download file (<path>) for Max II."
    ChainFileNotCreated,  // "Fail to generate Chain Definition File(<path>) for Max II."
    NoChainFile,          // "Fail to find the chain definition file (<path>) for Max II."
    ProgrammerNotStarted, // "cannot start <path>: <the system's reason>"
    ProgrammerFailed,     // its own failure (exit code 3), Ctrl+C's, or an unreadable exit code: no text
    UnexpectedExitCode,   // "ExitCode:<code in hex>h"
    TimedOut,             // still running after the time-out, and ended: no text
};

// How the user is told of an error, besides the red status: a failed check in an error box, an
// unexpected exit code in an information box; the rest by the status alone.
std::optional<MessageKind> messageKindOf(ProgrammingError error);

// The programming steps without any front end's own: finds the programmer, checks that it and the design
// file are there, writes the chain definition file, runs the programmer and waits for it. Each step
// records what went wrong; the front end shows it, and its statuses, between the steps.
class ProgrammingJob {
public:
    // A job for the program in this folder, the design file's and the chain definition file's.
    explicit ProgrammingJob(const std::string& folder, uint32_t timeoutMs = kProgrammerTimeoutMs)
        : timeoutMs_(timeoutMs), folder_(folder), designFile_(designFilePath(folder)),
          chainFile_(chainFilePath(folder)) {}

    // What the wait for the programmer calls on every pass, to handle the window's messages.
    void setMessagePump(MessagePump pump) { pump_ = std::move(pump); }
    // The programmer writes to the program's standard error instead of its standard output (Windows: its
    // hidden console), which then keeps to the program's own results.
    void setOutputToErrorStream(bool toErrors) { outputToErrorStream_ = toErrors; }

    // The checks in order, up to writing the chain definition file; the first to fail ends them. Handles
    // no messages.
    bool prepare();
    // Runs the programmer and waits for it, blocking; true only when it ended with exit code 0.
    bool run();
    // The same for a caller that keeps its own time: start() starts the programmer (false, with the
    // error, when the system could not), then pass() at most kPassWaitMs apart reads whether it ended:
    // none while it runs within its time, else whether it ended with exit code 0.
    bool start();
    std::optional<bool> pass();

    ProgrammingError error() const { return error_; }
    const std::string& errorString() const { return errorString_; }
    // Why, in a sentence, when the error's own words do not say it: a folder that was not used, and why
    // not. Empty otherwise.
    const std::string& reason() const { return reason_; }
    // Where the chain definition file was written: beside the program, or in the user's own folder when
    // the program's folder takes no files.
    const std::string& chainFile() const { return chainFile_; }
    // The time ran out and the programmer is being ended; pass() answers once it is gone.
    bool ending() const { return wait_ && wait_->ending(); }
    // The programmer's command line, once prepare() found it; and how its last run ended.
    std::string commandLine() const { return ProgrammerInvocation{programmer_, chainFile_}.commandLine(); }
    const ProgrammerRun& lastRun() const { return ran_; }

private:
    bool fail(ProgrammingError error, std::string text, std::string reason = {});
    bool judge(const ProgrammerRun& ran);

    uint32_t timeoutMs_;
    std::string folder_;
    MessagePump pump_;
    bool outputToErrorStream_ = false;
    std::string programmer_;
    std::string designFile_;
    std::string chainFile_;
    ProgrammerRun ran_;
    // The running programmer; destroying it leaves the programmer to run on.
    std::unique_ptr<platform::ChildProcess> process_;
    std::optional<ProgrammerWait> wait_;
    ProgrammingError error_ = ProgrammingError::NoError;
    std::string errorString_;
    std::string reason_;
};

} // namespace qbv::programming
