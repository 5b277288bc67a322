#pragma once

namespace qbv::cli {

// What qbv's exit status tells a script. Small and distinct, so that a script can tell a missing driver
// from an unplugged board from a blank controller; 64 is the BSD convention for bad usage, 130 the
// shells' for an end by Ctrl+C.
enum ExitCode : int {
    kExitSuccess = 0,
    kExitLibrary = 2,           // the JTAG access library is missing or lacks a function
    kExitLinkNotOpened = 3,     // the link to the board did not open
    kExitNoResponse = 4,        // the link opened but the board's controller did not answer
    kExitCommandFailed = 5,     // an LED, GPIO or key command failed on an answering board
    kExitProgrammingFailed = 6, // the programming job failed (its checks or the programmer)
    kExitTimeout = 7,           // the programmer did not end in time (it is left running)
    kExitUsage = 64,            // bad command line: nothing was sent to the board
    kExitInterrupted = 130,     // Ctrl+C before the work was done
};

} // namespace qbv::cli
