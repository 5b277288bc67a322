#pragma once

#include <string>
#include <vector>

namespace qbv::standin {

// What the stand-in was asked to do. The panel always passes "-c USB-Blaster[USB-0] <chain file>"; the
// cable may also be given as "USB-Blaster [USB-0]" or plain "USB-Blaster" (the first one), as --cable=X or
// --cable X, before or after the chain file. Anything else is a usage error.
struct CommandLine {
    enum class Request { Program, Help, Invalid };
    Request request = Request::Invalid;
    std::string chainFilePath;
    std::string error; // why it is invalid
};

// The arguments after the program's own name.
CommandLine parseCommandLine(const std::vector<std::string>& arguments);

constexpr const char* kUsage = "Usage: quartus_pgm -c USB-Blaster[USB-0] <chain definition file>.cdf";

} // namespace qbv::standin
