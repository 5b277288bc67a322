#pragma once

#include <string>

namespace qbv::platform {

// Where the FPGA vendor's tool chain is installed, as the system records it, used exactly as read; empty
// when it is not recorded. On Windows the string value "Quartus Install Directory" of the key
// HKEY_LOCAL_MACHINE\Software\Altera Corporation\Quartus, opened for reading only, plain or expandable,
// with environment references left as they are; a value of another type counts as none. Elsewhere the
// tool chain announces itself with the environment variable QUARTUS_ROOTDIR.
std::string vendorInstallDirectory();

// How this system's user is told where the tool chain is looked for and what to check: each a clause for
// the middle of a sentence.
struct ToolchainWords {
    const char* missing; // why no install folder is known: "QUARTUS_ROOTDIR is not set"
    const char* source;  // what named the install folder: "QUARTUS_ROOTDIR"
    const char* install; // how to make one known: "install ... and set QUARTUS_ROOTDIR to their folder"
    const char* server;  // the vendor's JTAG server, as the user starts it
    const char* cable;   // what else to check when the cable is not found
};
const ToolchainWords& toolchainWords();

// The vendor's command-line programmer: its bare file name, the folder it lies in under an install
// directory (its bin folder, with a trailing separator), and its full path there.
const char* programmerFileName();
std::string programmerDirectoryIn(const std::string& installDirectory);
std::string programmerPathIn(const std::string& installDirectory);

// The vendor's JTAG-UART client libraries: the folder they lie in under an install directory (Linux:
// linux64, Windows: bin64), and their file names. The atlantic library needs the client library.
std::string jtagClientDirectoryIn(const std::string& installDirectory);
const char* jtagClientLibraryFileName();
const char* jtagAtlanticLibraryFileName();

} // namespace qbv::platform
