#include "CommandLine.h"

#include <array>
#include <string_view>

namespace qbv::standin {

namespace {

constexpr std::array<std::string_view, 3> kCableNames = {"USB-Blaster[USB-0]", "USB-Blaster [USB-0]",
                                                         "USB-Blaster"};
constexpr std::string_view kLongCable = "--cable=";

bool knownCable(std::string_view name) {
    for (std::string_view known : kCableNames)
        if (name == known)
            return true;
    return false;
}

CommandLine invalid(const std::string& error) {
    return {CommandLine::Request::Invalid, {}, error};
}

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
    if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h"))
        return {CommandLine::Request::Help, {}, {}};
    std::string cable;
    std::string chainFile;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        std::string value;
        if (argument == "-c" || argument == "--cable") {
            if (i + 1 == arguments.size())
                return invalid(argument + " needs a cable name");
            value = arguments[++i];
        } else if (argument.starts_with(kLongCable)) {
            value = argument.substr(kLongCable.size());
        } else if (argument.empty()) {
            return invalid("an empty argument");
        } else if (argument[0] == '-') {
            return invalid("unknown option " + argument);
        } else if (!chainFile.empty()) {
            return invalid("more than one chain definition file");
        } else {
            chainFile = argument;
            continue;
        }
        if (!cable.empty())
            return invalid("more than one cable");
        if (!knownCable(value))
            return invalid("no cable named \"" + value + "\"; the board hangs on USB-Blaster[USB-0]");
        cable = value;
    }
    if (cable.empty())
        return invalid("no cable given (-c USB-Blaster[USB-0])");
    if (chainFile.empty())
        return invalid("no chain definition file given");
    return {CommandLine::Request::Program, chainFile, {}};
}

} // namespace qbv::standin
