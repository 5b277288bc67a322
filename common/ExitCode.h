#pragma once

namespace qbv {

// What qbv's exit status tells a script, one row per code: its name here, its value, and its meaning as
// the help and the README give it. Small and distinct, so that a script can tell a missing driver from
// an unplugged board from a blank controller; 64 is the BSD convention for bad usage, 130 the shells' for
// an end by Ctrl+C.
// clang-format off
#define QBV_EXIT_CODES(row)                                                                                  \
    row(kExitSuccess, 0, "success")                                                                          \
    row(kExitLibrary, 2, "the JTAG access library is missing or incomplete (\"Fail to load JTAG driver\")")  \
    row(kExitLinkNotOpened, 3, "the link to the board did not open (\"Fail to connect QB-vela\")")           \
    row(kExitNoResponse, 4, "the board does not answer (\"QB-vela no response ...\"): try qbv program")      \
    row(kExitCommandFailed, 5,                                                                               \
        "a command failed on the board (\"Update LED fail\", \"Update GPIO fail\", "                         \
        "\"Lost FPGA connection\")")                                                                         \
    row(kExitProgrammingFailed, 6, "programming failed (\"Download Max II code fail\")")                     \
    row(kExitTimeout, 7, "programming timed out; the programmer was ended")                                  \
    row(kExitPanelBusy, 8,                                                                                   \
        "the control panel that holds the board refused: it is busy (connecting, programming) or closing")  \
    row(kExitUsage, 64, "bad command line; nothing was sent to the board")                                   \
    row(kExitInterrupted, 130, "interrupted by Ctrl+C before the work was done")
// clang-format on

#define QBV_EXIT_CODE_VALUE(name, value, meaning) name = value,
enum ExitCode : int { QBV_EXIT_CODES(QBV_EXIT_CODE_VALUE) };
#undef QBV_EXIT_CODE_VALUE

struct ExitCodeRow {
    ExitCode code;
    const char* name;
    const char* meaning;
};

#define QBV_EXIT_CODE_ROW(name, value, meaning) {name, #name, meaning},
constexpr ExitCodeRow kExitCodes[] = {QBV_EXIT_CODES(QBV_EXIT_CODE_ROW)};
#undef QBV_EXIT_CODE_ROW

} // namespace qbv
