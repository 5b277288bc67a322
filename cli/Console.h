#pragma once

#include "platform/ProgramLocation.h"
#include "platform/UsbCables.h"

#include <functional>
#include <ostream>
#include <string>

namespace qbv::cli {

// Where a run of qbv speaks and what it asks of its surroundings. main() wires the real streams, the
// terminal checks and Ctrl+C; tests wire strings and an interrupt of their own.
struct Console {
    std::ostream& out;
    std::ostream& err;
    // The program's folder, with its trailing separator: where the library, the design file and the chain
    // definition file lie, and whose panel serves it.
    std::string folder = platform::executableDirectory();
    // The system's root, under which it lists its USB devices.
    std::string systemRoot = platform::kSystemRoot;
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
