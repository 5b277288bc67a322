#include "BoardProgramming.h"

#include "ProgrammerConsole.h"
#include "common/Format.h"
#include "sim/core/BoardState.h"

#include <chrono>
#include <thread>

namespace qbv::standin {

namespace {

constexpr int kProgressSteps = 4;
constexpr const char* kDevice = "EPM2210GF324@1";

void progress(int step) {
    info(formatText("Programming device %s: %d%%", kDevice, step * 100 / kProgressSteps));
}

void pause(uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

} // namespace

BoardProgramming::BoardProgramming(std::string boardName)
    : boardName_(std::move(boardName)), board_(boardName_) {}

bool BoardProgramming::cableLeadsToBoard() {
    sim::BoardState state;
    if (!board_.state(state)) {
        error("No JTAG hardware available: no virtual board answers as \"" + boardName_ +
              "\" (start qbv-virtual-board, or set QBV_VIRTUAL_BOARD to its name)");
        return false;
    }
    if (!state.plugged) {
        error("Unable to scan device chain: the USB-Blaster cable is not plugged into the board");
        return false;
    }
    return true;
}

bool BoardProgramming::writeDesign(const std::string& designContent) {
    if (!board_.program(designContent)) {
        error("The board did not take the design: " + board_.lastReply());
        return false;
    }
    sim::BoardState state;
    if (!board_.state(state) || !state.programmed) {
        error("Verification failed: the device does not report itself programmed");
        return false;
    }
    return true;
}

ExitCode BoardProgramming::program(const std::string& designContent, uint32_t durationMs) {
    info("Using programming cable \"USB-Blaster [USB-0]\" to the virtual board \"" + boardName_ + "\"");
    if (!cableLeadsToBoard())
        return kExitProgrammingFailed;
    info("Started Programmer operation");
    progress(0);
    for (int step = 1; step <= kProgressSteps; ++step) {
        pause(durationMs / kProgressSteps);
        if (!cableLeadsToBoard())
            return kExitProgrammingFailed;
        if (step == kProgressSteps && !writeDesign(designContent))
            return kExitProgrammingRefused;
        progress(step);
    }
    info("Configuration succeeded -- 1 device(s) configured");
    return kExitSuccess;
}

} // namespace qbv::standin
