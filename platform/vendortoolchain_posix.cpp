#include "VendorToolchain.h"

#include "Environment.h"

namespace qbv::platform {

VendorInstall vendorInstall() {
    std::string directory = environmentVariable("QUARTUS_ROOTDIR");
    if (directory.empty())
        return {};
    return {std::move(directory), "QUARTUS_ROOTDIR"};
}

const ToolchainWords& toolchainWords() {
    static constexpr ToolchainWords kWords = {
        "QUARTUS_ROOTDIR is not set",
        "install the vendor's programming tools and set QUARTUS_ROOTDIR to their folder",
        "the JTAG server ($QUARTUS_ROOTDIR/bin/jtagd)",
        "that your user may use it (see the udev rule in the README)",
    };
    return kWords;
}

const char* programmerFileName() {
    return "quartus_pgm";
}

std::vector<std::string> programmerDirectoriesIn(const std::string& installDirectory) {
    return {installDirectory + "/bin/"};
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
