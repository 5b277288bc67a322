// quartus_pgm: stands in for the vendor's command-line programmer where there is no vendor tool chain,
// and programs the virtual board instead of a MAX II on a cable. Exit codes: ProgrammerExitCodes.h.

#include "StandinProgrammer.h"
#include "platform/ChildProcess.h"
#include "platform/ProgramLocation.h"

#include <csignal>
#include <string>
#include <vector>

int main(int argc, char** argv) {
#ifdef SIGPIPE
    // The panel's standard output may be a pipe nobody reads any more: a progress line must not end the
    // programming halfway.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    // The chain definition file's path as the panel wrote it, in whatever script its folder is named.
    const std::vector<std::string> arguments = qbv::platform::programArguments(argc, argv);
    const uint32_t code = qbv::standin::runStandinProgrammer(arguments);
#ifndef _WIN32
    // Ctrl+C's status is no exit status on POSIX: the stand-in ends the way an interrupted programmer does.
    // On Windows that status is the exit code itself.
    if (code == qbv::platform::kControlCExit) {
        std::signal(SIGINT, SIG_DFL);
        std::raise(SIGINT);
    }
#endif
    return static_cast<int>(code);
}
