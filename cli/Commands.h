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
// The way to the board checked step by step; the exit code of the first step that failed.
int runDoctor(const Invocation& call, Reporter& reporter);

// The pressed keys' names ("BUTTON1", "BUTTON3"), for the keys command's JSON.
Json pressedKeysJson(uint8_t keyState);

} // namespace qbv::cli
