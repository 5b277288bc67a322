#include "HelpText.h"

#include "common/ExitCode.h"

#include <sstream>

namespace qbv::cli {

namespace {

// The width the help's own paragraphs keep to.
constexpr size_t kHelpWidth = 88;
constexpr size_t kMeaningIndent = 7;

struct CommandWords {
    const char* summary;
    const char* notes;
};

// In the order of Command.
constexpr CommandWords kWords[] = {
    {R"(Drives a QB-vela board from a shell script or a CI job: its eight LEDs, its 88 GPIO
pins and its four keys, and programs its MAX II controller. qbv loads the JTAG access
library (alt_jtaglib) from its own directory, as the control panel does.)",
     R"(The options above may also follow the command. Every board command first checks that
the board answers (ping, then read keys), as the control panel does when it connects.
Numbers are decimal or 0x hexadecimal. Results go to standard output; failures, the
library's messages and the programmer's output to standard error.)"},
    {"check that the board answers",
     R"(Opens the link to the board, sends ping and then read keys, and closes the link.
Exits 0 when the board answers, 2, 3 or 4 when it does not (see qbv --help).)"},
    {"set all eight LEDs from a MASK, or --on N,M,... and all others off",
     R"(An LED goes by the number printed beside it on the board, LED8 (the leftmost) to
LED1: --on 8,1 lights LED8 and LED1. MASK has one bit per LED, LEDn is bit n-1:
LED8 is bit 7 and LED1 bit 0, as the control panel names them: LED8 (qbv led bit 7).

The board's command always sets all eight LEDs at once, and the board cannot be
asked which LEDs are lit: qbv led sets the whole row, never one LED alone.
Exit 5 with "Update LED fail" when the board does not take the command.)"},
    {"switch GPIO pins 0-87, in the order given",
     R"(One board command per pin in the order given; other pins keep their state. Stops at
the first pin the board does not take, with "Update GPIO fail" and exit 5; the pins
before it are set.

GPIO N is the number the control panel shows on each pin (the README's pin map):
GPIO 0-67 lie on header J2, GPIO 68-87 on header J3, numbered row by row from the
top left of each.)"},
    {"read the four keys once, or print every change until Ctrl+C",
     R"(Prints the key state: its byte and the keys pressed, BUTTON1 to BUTTON4 (key k is
bit k; bits 4-7 mean nothing).

--watch reads the keys again 20 ms after the end of each read and prints a line,
with a UTC timestamp, for the state at the start and for every change after it,
until Ctrl+C; the link is then closed and qbv exits 0. A failed read ends the watch
with "Lost FPGA connection" and exit 5.)"},
    {"program the MAX II with QBV_Control_Panel.pof beside qbv",
     R"(Programs the board's MAX II controller with QBV_Control_Panel.pof from qbv's own
directory, as the control panel's Download button does: finds the vendor's
programmer, checks it and the design file, writes QBV_Control_Panel.cdf beside qbv
(or, where qbv's folder takes no file, in the user's cache folder), and runs the
programmer for at most 60 seconds, its output on standard error. The progress shown
is elapsed time over 30 seconds. Afterwards qbv checks that the board answers (ping,
read keys). With --wait, qbv first waits until no other program holds the link.

The programmer is quartus/bin/quartus_pgm beside qbv where there is one: the virtual
board's program folders (the demo's, and build/release/bin) hold its stand-in there.
Elsewhere it is found under QUARTUS_ROOTDIR on Linux, through the registry on Windows.

Exit 6 when programming fails, 7 when the programmer did not end in time (it is
ended, with what it started), and 2, 3 or 4 when the board does not answer
afterwards. Ctrl+C leaves at once with exit 130; the programmer is left to finish.)"},
    {"when something does not work: check the way to the board step by step",
     R"(Follows the way to the board step by step and reports each step as ok, failed or
skipped, with one sentence: the JTAG access library beside qbv (its file and
edition), a running control panel of this folder, the virtual board (its socket,
whether it is plugged in and programmed) or, for real boards, the vendor's JTAG-UART
client (its folder, whether it may be trusted and loads), on Linux the cable's USB
device node, the JTAG server and the cable QBV_JTAG_CABLE picks; then the link, a
ping, the median round trip of 20 key reads, and for programming the tool chain, the
design file and the folder the chain file would be written to. At the first failure
it says what to do, and the later steps are skipped. With a running control panel the
board is asked through it; the link is not opened. The control panel's context menu
shows the same report.

With --json, one object per step: name, status, detail and fix. The exit code is
the failed step's, from the table in qbv --help; 0 when all pass.)"},
};

// The exit codes as the general help lists them, each meaning wrapped under itself.
std::string exitCodeList() {
    std::string list = "Exit codes:";
    for (const ExitCodeRow& row : kExitCodes) {
        std::string line = "  " + std::to_string(row.code);
        line.resize(kMeaningIndent - 1, ' ');
        std::istringstream words(row.meaning);
        for (std::string word; words >> word;) {
            if (line.size() + 1 + word.size() > kHelpWidth) {
                list += "\n" + line;
                line.assign(kMeaningIndent - 1, ' ');
            }
            line += " " + word;
        }
        list += "\n" + line;
    }
    return list;
}

} // namespace

const char* commandSummary(Command topic) {
    return kWords[static_cast<int>(topic)].summary;
}

std::string commandNotes(Command topic) {
    const std::string notes = kWords[static_cast<int>(topic)].notes;
    return topic == Command::None ? notes + "\n\n" + exitCodeList() : notes;
}

std::string helpText(Command topic) {
    if (topic == Command::None)
        return parseArguments({"--help"}).helpText;
    return parseArguments({"help", commandName(topic)}).helpText;
}

std::string usageHint(Command topic) {
    if (topic == Command::None)
        return "Try 'qbv --help'.";
    return std::string("Try 'qbv ") + commandName(topic) + " --help'.";
}

} // namespace qbv::cli
