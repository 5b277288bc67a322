#include "VendorToolchain.h"

#include "Environment.h"

namespace qbv::platform {

std::string vendorInstallDirectory() {
    return environmentVariable("QUARTUS_ROOTDIR");
}

const char* programmerFileName() {
    return "quartus_pgm";
}

std::string programmerPathIn(const std::string& installDirectory) {
    return installDirectory + "/bin/" + programmerFileName();
}

std::string jtagClientDirectoryIn(const std::string& installDirectory) {
    return installDirectory + "/linux64/";
}

const char* jtagClientLibraryFileName() {
    return "libjtag_client.so";
}

const char* jtagAtlanticLibraryFileName() {
    return "libjtag_atlantic.so";
}

} // namespace qbv::platform
