#pragma once

#include "common/Numbers.h"
#include "programming/RunProgrammer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qbv::cli {

enum class Command { None, Ping, Led, Pin, Keys, Program, Doctor };

struct PinSetting {
    int pin = 0;
    bool on = false;
    bool operator==(const PinSetting&) const = default;
};

// Everything the command line asks for, checked and converted, before anything touches the board.
struct Invocation {
    Command command = Command::None;
    bool json = false;
    bool help = false;
    bool version = false;
    uint8_t ledMask = 0;
    std::vector<PinSetting> pins;
    bool watch = false;
    uint32_t timeoutMs = programming::kProgrammerTimeoutMs; // hidden option, for tests
    uint32_t waitSeconds = 0; // --wait: how long a link that another program holds is waited for
};

struct ParseResult {
    bool ok = false;
    Invocation invocation;
    std::string error;    // names the offending value when ok is false
    std::string helpText; // when the line asks for help: that help
};

// The command line after the program's name. Pure: reads nothing else and has no side effects.
ParseResult parseArguments(const std::vector<std::string>& arguments);

// The command's name as typed ("led"); empty for Command::None.
const char* commandName(Command command);

} // namespace qbv::cli
