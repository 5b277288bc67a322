#pragma once

// How quartus_pgm, the stand-in programmer, ends. The panel reads the code: 0 is success, 3 is a failure
// it reports with its red status alone, any other code also gets a box "ExitCode:<hex>h".
//
// The ordinary failures of programming a board, which a user mends at the board (no board answering on
// the cable, the cable pulled out before or during programming), end with 3, as the vendor's programmer
// ends any unsuccessful run. Failures that point at the installation or at the panel itself (a command
// line it does not understand, a damaged chain definition file or design file, a board that would not
// take a design the programmer found intact) get codes of their own, so the panel's box names them.

namespace qbv::standin {

enum ExitCode : int {
    kExitSuccess = 0,
    kExitUsage = 2,              // not "-c USB-Blaster[USB-0] <chain file>", or a test setting malformed
    kExitProgrammingFailed = 3,  // no board on the cable, or the cable unplugged
    kExitBadChainFile = 4,       // missing, unreadable, or not exactly what the panel writes
    kExitBadDesignFile = 5,      // missing, unreadable, damaged, or for another device
    kExitProgrammingRefused = 6, // the board refused the design, or stopped answering while taking it
};

} // namespace qbv::standin
