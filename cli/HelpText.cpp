#include "HelpText.h"

namespace qbv::cli {

namespace {

constexpr const char* kGeneral = R"(Usage: qbv [--json] COMMAND [ARGUMENTS]

Drives a QB-vela board from a shell script or a CI job: its eight LEDs, its 88 GPIO
pins and its four keys, and programs its MAX II controller. qbv loads the JTAG access
library (alt_jtaglib) from its own directory, as the control panel does.

Commands:
  ping                  check that the board answers
  led MASK              set all eight LEDs from a mask (LED 0 is bit 7)
  led --on I,J,...      switch these LEDs on and all others off
  pin N on|off ...      switch GPIO pins 0-87, in the order given
  keys [--watch]        read the four keys once, or print every change until Ctrl+C
  program               program the MAX II with QBV_Control_Panel.pof beside qbv
  help [COMMAND]        this text, or the help for one command

Options:
  --json                one JSON object per result on standard output
  --wait SECONDS        while another program holds the link, try again for so long
  -h, --help            help (after a command: that command's help)
  --version             qbv's version

Every board command first checks that the board answers (ping, then read keys),
as the control panel does when it connects. Numbers are decimal or 0x hexadecimal.
Results go to standard output; failures and the library's messages to standard error.

Exit codes:
  0    success
  2    the JTAG access library is missing or incomplete ("Fail to load JTAG driver")
  3    the link to the board did not open ("Fail to connect QB-vela")
  4    the board does not answer ("QB-vela no response ..."): try qbv program
  5    a command failed on the board ("Update LED fail", "Update GPIO fail",
       "Lost FPGA connection")
  6    programming failed ("Download Max II code fail")
  7    programming timed out; the programmer is left running
  64   bad command line; nothing was sent to the board
  130  interrupted by Ctrl+C before the work was done
)";

constexpr const char* kPing = R"(Usage: qbv ping [--json]

Opens the link to the board, sends ping and then read keys, and closes the link.
Exits 0 when the board answers, 2, 3 or 4 when it does not (see qbv --help).
)";

constexpr const char* kLed = R"(Usage: qbv led MASK [--json]
       qbv led --on I,J,... [--json]

Sets the eight user LEDs. MASK is 0x00-0xFF (decimal or 0x hex), one bit per LED:
LED 0, the leftmost on the board (printed LED8), is bit 7, LED 7 (LED1) is bit 0;
the control panel names each LED so: LED8 (qbv led bit 7). --on lists the LEDs to
light, 0-7 separated by commas; every other LED goes off (--on '' switches all off).

The board's command always sets all eight LEDs at once, and the board cannot be
asked which LEDs are lit: qbv led sets the whole row, never one LED alone.
Exit 5 with "Update LED fail" when the board does not take the command.
)";

constexpr const char* kPin = R"(Usage: qbv pin N on|off [N on|off ...] [--json]

Switches GPIO pins, N from 0 to 87, one board command per pin in the order given;
other pins keep their state. Stops at the first pin the board does not take, with
"Update GPIO fail" and exit 5; the pins before it are set.

GPIO N is the number the control panel shows on each pin: GPIO 0-67 are header J2's
pins 1-68, GPIO 68-87 header J3's pins 1-20, each counted row by row from the top
left (the README's pin map). on and off may be written in any case.
)";

constexpr const char* kKeys = R"(Usage: qbv keys [--watch] [--json]

Reads the four keys once and prints the key state: its byte and the keys pressed,
BUTTON1 to BUTTON4 (key k is bit k; bits 4-7 mean nothing).

--watch reads the keys again 20 ms after the end of each read and prints a line,
with a UTC timestamp, for the state at the start and for every change after it,
until Ctrl+C; the link is then closed and qbv exits 0. A failed read ends the watch
with "Lost FPGA connection" and exit 5.
)";

constexpr const char* kProgram = R"(Usage: qbv program [--json]

Programs the board's MAX II controller with QBV_Control_Panel.pof from qbv's own
directory, as the control panel's Download button does: finds the vendor's
programmer (quartus_pgm under QUARTUS_ROOTDIR on Linux, through the registry on
Windows), checks it and the design file, writes QBV_Control_Panel.cdf beside qbv (or,
where qbv's folder takes no file, in the user's cache folder), and runs the
programmer for at most 60 seconds. The progress shown is elapsed time
over 30 seconds. Afterwards qbv checks that the board answers (ping, read keys).

Exit 6 when programming fails, 7 when the programmer did not end in time (it is
left running), and 2, 3 or 4 when the board does not answer afterwards. Ctrl+C
leaves at once with exit 130; the programmer is left to finish.
)";

} // namespace

std::string helpText(Command topic) {
    switch (topic) {
    case Command::Ping:
        return kPing;
    case Command::Led:
        return kLed;
    case Command::Pin:
        return kPin;
    case Command::Keys:
        return kKeys;
    case Command::Program:
        return kProgram;
    case Command::None:
        break;
    }
    return kGeneral;
}

std::string usageHint(Command topic) {
    if (topic == Command::None)
        return "Try 'qbv --help'.";
    return std::string("Try 'qbv ") + commandName(topic) + " --help'.";
}

} // namespace qbv::cli
