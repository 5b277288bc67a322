#pragma once

#include <string>
#include <vector>

namespace qbv::platform {

// The running program's own file, by its full path; not the current directory.
std::string executableFile();
// Its directory, with its trailing separator ("C:\Tools\Panel\" or "/opt/qbv/bin/").
std::string executableDirectory();
// Its name without folder or ".exe" ("qbv", "QBV_Control_Panel").
std::string executableName();

// The arguments the program was started with, after its own name, in UTF-8. On Windows they are read
// from the system's wide command line: argv holds them in the ANSI code page, which may lack letters of a
// path.
std::vector<std::string> programArguments(int argc, char** argv);

// The folder's one name, however it was reached: links resolved (on Windows also drive aliases, short names
// and letter case), with a trailing separator. The name as given when the folder cannot be opened.
std::string canonicalFolder(const std::string& folder);

// The file name of the vendor's JTAG access library on this system.
const char* jtagLibraryFileName();

// The separator between a directory and a file name on this system.
char pathSeparator();

// Our own programs as this system's user starts them, in words for advice.
struct ProgramWords {
    const char* startVirtualBoard; // the virtual board, or the demo that starts it, as alternatives
    const char* virtualBoard;      // the virtual board alone
    const char* boardControl;      // the virtual board's command-line control
};
const ProgramWords& programWords();

} // namespace qbv::platform
