// quartus_pgm: stands in for the vendor's command-line programmer where there is no vendor tool chain,
// and programs the virtual board instead of a MAX II on a cable. Exit codes: ProgrammerExitCodes.h.

#include "StandinProgrammer.h"
#include "platform/ChildProcess.h"

#include <csignal>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    // The panel's standard output may be a pipe nobody reads any more: a progress line must not end the
    // programming halfway.
    std::signal(SIGPIPE, SIG_IGN);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const uint32_t code = qbv::standin::runStandinProgrammer(arguments);
    // Ctrl+C's status is no exit status: the stand-in ends the way an interrupted programmer does.
    if (code == qbv::platform::kControlCExit) {
        std::signal(SIGINT, SIG_DFL);
        std::raise(SIGINT);
    }
    return static_cast<int>(code);
}
