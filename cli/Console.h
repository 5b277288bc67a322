#pragma once

#include <functional>
#include <ostream>

namespace qbv::cli {

// Where a run of qbv speaks and what it asks of its surroundings. main() wires the real streams, the
// terminal checks and Ctrl+C; tests wire strings and an interrupt of their own.
struct Console {
    std::ostream& out;
    std::ostream& err;
    bool outIsTerminal = false;
    bool errIsTerminal = false;
    // Polled between steps: true once the user asked qbv to stop.
    std::function<bool()> interrupted = [] { return false; };
    // Ends the program at once with this exit code. Used only while the programmer runs, which the core
    // waits for without a way out; the programmer goes on by itself. A test's version may return, and the
    // run then finishes its wait and reports the interruption.
    std::function<void(int exitCode)> leave = [](int) {};
};

} // namespace qbv::cli
