#pragma once

#include "Arguments.h"
#include "Output.h"

#include <cstdint>
#include <string>

namespace qbv::cli {

// One function per command; each returns qbv's exit code (ExitCode.h) and reports through the reporter.
int runPing(const Invocation& call, Reporter& reporter);
int runLed(const Invocation& call, Reporter& reporter);
int runPin(const Invocation& call, Reporter& reporter);
int runKeys(const Invocation& call, Reporter& reporter);
int runProgram(const Invocation& call, Reporter& reporter);

// "BUTTON1 BUTTON3" style names of the pressed keys, for the keys command's words and JSON.
std::string pressedKeysText(uint8_t keyState);
Json pressedKeysJson(uint8_t keyState);

} // namespace qbv::cli
