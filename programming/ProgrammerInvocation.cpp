#include "ProgrammerInvocation.h"

#include "platform/Format.h"

namespace qbv::programming {

namespace {

constexpr const char* kCable = "USB-Blaster[USB-0]";

// The programmer splits its own command line at blanks, so a path with one in it would reach it as two
// words: such a path goes in quotes. Any other path stays bare.
std::string programmerWord(const std::string& path) {
    return path.find_first_of(" \t") == std::string::npos ? path : "\"" + path + "\"";
}

} // namespace

std::string ProgrammerInvocation::commandLine() const {
    return formatText("%s -c %s \"%s\"", programmerWord(programmerPath).c_str(), kCable,
                      chainFilePath.c_str());
}

platform::ProcessLaunch ProgrammerInvocation::launch() const {
    return {programmerPath, commandLine(), {"-c", kCable, chainFilePath}};
}

} // namespace qbv::programming
