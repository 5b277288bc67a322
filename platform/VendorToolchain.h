#pragma once

#include <string>
#include <vector>

namespace qbv::platform {

// Where the FPGA vendor's tool chain is installed, as the system records it, used exactly as read, and
// what recorded it; both empty when it is not recorded. On Windows the string value "Quartus Install
// Directory" of the key HKEY_LOCAL_MACHINE\Software\Altera Corporation\Quartus, opened for reading only,
// plain or expandable, with environment references left as they are; a value of another type counts as
// none. The registry's 64-bit view is read first, then its 32-bit view, where a 32-bit installer's entry
// lands. Elsewhere the tool chain announces itself with the environment variable QUARTUS_ROOTDIR.
struct VendorInstall {
    std::string directory;
    std::string source; // "the registry's Quartus install folder (its 32-bit view)", "QUARTUS_ROOTDIR"
};
VendorInstall vendorInstall();

// How this system's user is told where the tool chain is looked for and what to check: each a clause for
// the middle of a sentence.
struct ToolchainWords {
    const char* missing; // why no install folder is known: "QUARTUS_ROOTDIR is not set"
    const char* install; // how to make one known: "install ... and set QUARTUS_ROOTDIR to their folder"
    const char* server;  // the vendor's JTAG server, as the user starts it
    const char* cable;   // what else to check when the cable is not found
};
const ToolchainWords& toolchainWords();

// The vendor's command-line programmer: its bare file name, and the folders it may lie in under an install
// directory, with a trailing separator, in the order they are tried. On Windows bin\, as the vendor's
// 32-bit tool chains have it, then bin64\, where the 64-bit ones keep it; elsewhere bin/.
const char* programmerFileName();
std::vector<std::string> programmerDirectoriesIn(const std::string& installDirectory);

// The vendor's JTAG-UART client libraries: the folder they lie in under an install directory (Linux:
// linux64, Windows: bin64), and their file names. The atlantic library needs the client library.
std::string jtagClientDirectoryIn(const std::string& installDirectory);
const char* jtagClientLibraryFileName();
const char* jtagAtlanticLibraryFileName();

} // namespace qbv::platform
