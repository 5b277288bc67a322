// qbv: the board from scripts. Wires the real streams, terminal and Ctrl+C to the command runner.

#include "Qbv.h"
#include "platform/ChildProcess.h"
#include "platform/Interrupt.h"
#include "platform/Terminal.h"

#include <cstdlib>
#include <iostream>

int main(int argc, char** argv) {
    qbv::platform::catchInterrupt();
    qbv::platform::keepChildExitCodes();
    qbv::cli::Console console{std::cout, std::cerr};
    console.outIsTerminal = qbv::platform::standardOutputIsTerminal();
    console.errIsTerminal = qbv::platform::standardErrorIsTerminal();
    console.interrupted = [] { return qbv::platform::interruptRequested(); };
    console.leave = [](int exitCode) {
        std::cout.flush();
        std::cerr.flush();
        std::exit(exitCode);
    };
    return qbv::cli::runQbv(std::vector<std::string>(argv + 1, argv + argc), console);
}
