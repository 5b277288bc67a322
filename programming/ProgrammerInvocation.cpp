#include "ProgrammerInvocation.h"

#include "common/Format.h"

namespace qbv::programming {

namespace {

constexpr const char* kCable = "USB-Blaster[USB-0]";

} // namespace

// The programmer's path stands bare, as the vendor's tools have always been called; which file starts
// is settled by naming the program apart from this text, so a blank in the path cannot start another.
// A path with a blank is quoted all the same: the programmer splits this text into its arguments, and
// "C:\Program Files\..." bare would hand it a stray first argument.
std::string ProgrammerInvocation::commandLine() const {
    const bool blank = programmerPath.find(' ') != std::string::npos;
    const std::string program = blank ? '"' + programmerPath + '"' : programmerPath;
    return formatText("%s -c %s \"%s\"", program.c_str(), kCable, chainFilePath.c_str());
}

platform::ProcessLaunch ProgrammerInvocation::launch() const {
    return {programmerPath, commandLine(), {"-c", kCable, chainFilePath}, outputToErrorStream};
}

} // namespace qbv::programming
