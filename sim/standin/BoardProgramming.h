#pragma once

#include "ProgrammerExitCodes.h"
#include "sim/control/BoardControl.h"
#include "sim/core/SocketPath.h"

#include <cstdint>
#include <string>

namespace qbv::standin {

// Programming the virtual board's controller over its control socket, as the vendor's programmer does a
// real MAX II over the cable: the cable must lead to a board before it starts and all the while, the
// progress goes by in quarters over the given time, the design goes in at the end in one piece (so a run
// cut short leaves the controller as it was), and the board must then report itself programmed.
class BoardProgramming {
public:
    // The board the JTAG library would reach: QBV_VIRTUAL_BOARD, else the user's default.
    explicit BoardProgramming(std::string boardName = sim::boardNameFromEnvironment());

    ExitCode program(const std::string& designContent, uint32_t durationMs);

private:
    // Whether a board answers on the cable; prints why not.
    bool cableLeadsToBoard();
    bool writeDesign(const std::string& designContent);

    std::string boardName_;
    sim::BoardControl board_;
};

} // namespace qbv::standin
