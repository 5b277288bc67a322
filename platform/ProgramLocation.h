#pragma once

#include <string>

namespace qbv::platform {

// The running program's own file, by its full path; not the current directory.
std::string executableFile();
// Its directory, with its trailing separator ("C:\Tools\Panel\" or "/opt/qbv/bin/").
std::string executableDirectory();
// Its name without folder or ".exe" ("qbv", "QBV_Control_Panel").
std::string executableName();

// The directory the program treats as its own: where it looks for the JTAG access library and keeps the
// design and chain definition files. The executable's directory unless a test pointed it elsewhere.
std::string programDirectory();
void setProgramDirectory(const std::string& directory); // empty restores the executable's directory

// The file name of the vendor's JTAG access library on this system.
const char* jtagLibraryFileName();

// The separator between a directory and a file name on this system.
char pathSeparator();

} // namespace qbv::platform
