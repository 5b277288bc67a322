// qbv: the board from scripts. Wires the real streams, terminal and Ctrl+C to the command runner.

#include "Qbv.h"
#include "platform/ChildProcess.h"
#include "platform/Interrupt.h"
#include "platform/ProgramLocation.h"
#include "platform/Terminal.h"

#include <cstdlib>

int main(int argc, char** argv) {
    qbv::platform::catchInterrupt();
    qbv::platform::keepChildExitCodes();
    qbv::cli::Console console{qbv::platform::standardOutput(), qbv::platform::standardError()};
    console.outIsTerminal = qbv::platform::standardOutputIsTerminal();
    console.errIsTerminal = qbv::platform::standardErrorIsTerminal();
    console.interrupted = [] { return qbv::platform::interruptRequested(); };
    console.leave = [&console](int exitCode) {
        console.out.flush();
        console.err.flush();
        std::exit(exitCode);
    };
    return qbv::cli::runQbv(qbv::platform::programArguments(argc, argv), console);
}
