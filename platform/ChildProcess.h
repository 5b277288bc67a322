#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qbv::platform {

// The exit code a process reports while it is still running (Windows' STILL_ACTIVE).
constexpr uint32_t kStillActive = 259;

// The status Windows gives a console program ended by Ctrl+C; a POSIX child ended by SIGINT reports it
// too, so both systems read the same.
constexpr uint32_t kControlCExit = 0xC000013A;

// Makes the exit codes of the programs this one starts readable. A program started with SIGCHLD ignored
// (some shells and service managers do so) has its children reaped by the system, and every end would
// then read as a failure. Called once at start; nothing to do on Windows.
void keepChildExitCodes();

// What a wait for a started program needs: its exit code without waiting and a short wait for its end.
// The real child process below provides it; tests provide scripted ones.
class ProcessStatus {
public:
    virtual ~ProcessStatus() = default;

    // kStillActive while it runs; empty when the code cannot be read.
    virtual std::optional<uint32_t> exitCode() = 0;

    // Returns when the process ends or after at most this many milliseconds of real time.
    virtual void waitForEnd(uint32_t milliseconds) = 0;

    // Ends the process and every process it started, at once; its end is then read as any other.
    virtual void endTree() = 0;
};

// How to start a program. Windows hands over one command line that the program splits itself; POSIX hands
// over the arguments one by one. Both name the file to run separately, so a blank in its path can never
// make the system run a different file.
struct ProcessLaunch {
    std::string program;                // the file to run, by full path
    std::string commandLine;            // Windows: the whole command line, the program's path first
    std::vector<std::string> arguments; // POSIX: the arguments after the program's own name
    // The program writes what it says to this program's standard error, so that this program's standard
    // output keeps to its own results (qbv's JSON). Otherwise it writes where its system puts it: on
    // POSIX this program's standard output, on Windows its own hidden console.
    bool outputToErrorStream = false;
};

// A program started in the background with this program's environment and current directory, and none
// of its handles or descriptors (on POSIX it keeps the standard streams). On Windows it runs at high
// priority in a console of its own that is kept hidden.
//
// On POSIX the exit code is the program's exit status; a program ended by a signal reports kControlCExit
// for SIGINT and 128 plus the signal's number for any other (the shells' convention), so it never reads
// as a success or as still running.
//
// Destroying the object releases the process without stopping it. On POSIX a process still running then
// is reaped in the background once it ends, so it never lingers as a zombie. What it starts stays with it
// (Windows: a job object of its own; POSIX: its process group), so that endTree reaches all of it.
class ChildProcess final : public ProcessStatus {
public:
    ChildProcess() = default;
    ~ChildProcess() override;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // False when the process cannot be started; errorString() then says why, in the system's words.
    bool start(const ProcessLaunch& launch);
    const std::string& errorString() const { return errorString_; }

    std::optional<uint32_t> exitCode() override;
    void waitForEnd(uint32_t milliseconds) override;
    void endTree() override;

    // The system's process id, 0 before a successful start.
    uint32_t processId() const;

    // Gives up the process: it runs on untouched.
    void release();

private:
    std::string errorString_;
#ifdef _WIN32
    void* process_ = nullptr;
    void* thread_ = nullptr;
    void* job_ = nullptr;
    uint32_t processId_ = 0;
#else
    int pid_ = 0;
    int pidDescriptor_ = -1;
    std::optional<uint32_t> finalCode_;
#endif
};

} // namespace qbv::platform
