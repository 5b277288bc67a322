#pragma once

#include <string>

namespace qbv::sim {

class BoardHost;

struct ControlAnswer {
    std::string reply; // one line, without its newline
    bool quit = false;
};

// Carries out one request line of the control protocol on the board.
ControlAnswer runControlLine(BoardHost& host, const std::string& line);

} // namespace qbv::sim
