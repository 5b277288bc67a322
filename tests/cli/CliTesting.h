#pragma once

#include "cli/Console.h"

#include <nlohmann/json.hpp>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace qbv::test {

// What one in-process run of qbv left behind.
struct CliRun {
    int exitCode = -1;
    std::string out;
    std::string err;
    std::vector<int> leftWith; // exit codes the run asked to leave with at once
};

struct CliSetup {
    std::function<bool()> interrupted; // none: never interrupted
    bool terminal = false;
    std::string systemRoot = platform::kSystemRoot; // where the system lists its USB devices
};

CliRun runQbv(const std::vector<std::string>& arguments, const CliSetup& setup = {});

// The lines of a text, without their line ends.
std::vector<std::string> lines(const std::string& text);

// An interrupt that arrives on the given poll (1 = the first time qbv looks).
std::function<bool()> interruptOnPoll(int poll);

// False unless the whole text is exactly one JSON value, as a strict parser reads it.
bool parseJson(const std::string& text, nlohmann::json& value);

} // namespace qbv::test
