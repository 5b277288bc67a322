#include "VendorToolchain.h"

#include "Environment.h"

namespace qbv::platform {

std::string vendorInstallDirectory() {
    return environmentVariable("QUARTUS_ROOTDIR");
}

const ToolchainWords& toolchainWords() {
    static constexpr ToolchainWords kWords = {
        "QUARTUS_ROOTDIR is not set",
        "QUARTUS_ROOTDIR",
        "install the vendor's programming tools and set QUARTUS_ROOTDIR to their folder",
        "the JTAG server ($QUARTUS_ROOTDIR/bin/jtagd)",
        "that your user may use it (see the udev rule in the README)",
    };
    return kWords;
}

const char* programmerFileName() {
    return "quartus_pgm";
}

std::string programmerDirectoryIn(const std::string& installDirectory) {
    return installDirectory + "/bin/";
}

std::string programmerPathIn(const std::string& installDirectory) {
    return programmerDirectoryIn(installDirectory) + programmerFileName();
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
