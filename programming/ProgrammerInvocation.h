#pragma once

#include "platform/ChildProcess.h"

#include <string>

namespace qbv::programming {

// One run of the vendor's programmer: program the device over the first USB-Blaster cable as the chain
// definition file says.
struct ProgrammerInvocation {
    std::string programmerPath;
    std::string chainFilePath;
    bool outputToErrorStream = false; // see platform::ProcessLaunch

    // The command line as Windows gets it: the programmer's path, then -c USB-Blaster[USB-0] and the
    // chain file's path in quotes. The programmer's path is bare unless it holds a blank.
    std::string commandLine() const;

    // What the system starts: the programmer by its path, with the command line on Windows and the
    // arguments "-c", "USB-Blaster[USB-0]" and the chain file's path elsewhere.
    platform::ProcessLaunch launch() const;
};

} // namespace qbv::programming
