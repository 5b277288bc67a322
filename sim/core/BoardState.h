#pragma once

#include "sim/core/FaultPlan.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace qbv::sim {

class BoardHost;

// A snapshot of the board as the control protocol's "state" reports it.
struct BoardState {
    bool programmed = false;
    bool plugged = false;
    bool linkOpen = false;
    uint8_t leds = 0;
    std::vector<int> pins; // active pins, ascending
    uint8_t keys = 0;
    uint64_t received = 0; // bytes the board took from the PC
    uint64_t sent = 0;     // bytes the PC collected from the board
    uint64_t stallsCleared = 0;
    std::array<int, kFaultKinds> faults{}; // operations left per Fault, -1 until cleared
    uint32_t delayMs = 0;

    int fault(Fault kind) const { return faults[static_cast<int>(kind)]; }
    bool operator==(const BoardState&) const = default;
};

BoardState snapshot(const BoardHost& host);
// "programmed=1 plugged=1 ..." without the leading "ok ".
std::string formatState(const BoardState& state);
// False when a field is missing or malformed.
bool parseState(const std::string& text, BoardState& state);

} // namespace qbv::sim
