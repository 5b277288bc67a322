#pragma once

#include <string>

namespace qbv::platform {

// The directory of the running program's own file, with its trailing separator ("C:\Tools\Panel\" or
// "/opt/qbv/bin/"); not the current directory.
std::string executableDirectory();

// The directory the program treats as its own: where it looks for the JTAG access library and keeps the
// design and chain definition files. The executable's directory unless a test pointed it elsewhere.
std::string programDirectory();
void setProgramDirectory(const std::string& directory); // empty restores the executable's directory

// The file name of the vendor's JTAG access library on this system.
const char* jtagLibraryFileName();

// The separator between a directory and a file name on this system.
char pathSeparator();

} // namespace qbv::platform
