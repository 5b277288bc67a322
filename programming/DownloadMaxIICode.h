#pragma once

#include "RunProgrammer.h"
#include "common/Colours.h"

#include <functional>
#include <string>

namespace qbv::programming {

// The files beside the program: the controller design that is programmed, and the chain definition file
// written for the programmer before every run.
constexpr const char* kDesignFileName = "QBV_Control_Panel.pof";
constexpr const char* kChainFileName = "QBV_Control_Panel.cdf";

std::string designFilePath(); // in the program's directory
std::string chainFilePath();  // in the program's directory

// Shows a status message in a colour (0xBBGGRR).
using StatusSink = std::function<void(const std::string& text, colour::Colour colour)>;

// The programming steps, without any of the window's own: finds the programmer, checks that it and the
// design file are there, writes the chain definition file, runs the programmer and waits for it. The
// first failed check shows its error box; the outcome ends as the green or red status. True only when
// the programmer ended with exit code 0. Handles window messages only while the programmer runs.
// A programmer that cannot be started fails without a box; whyNotStarted (if given) receives the system's
// reason with the programmer's path.
bool DownloadMaxIICode(const StatusSink& showStatus, uint32_t timeoutMs = kProgrammerTimeoutMs,
                       std::string* whyNotStarted = nullptr);

} // namespace qbv::programming
