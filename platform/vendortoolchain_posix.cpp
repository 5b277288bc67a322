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

} // namespace qbv::platform
