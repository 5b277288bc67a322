#include "QuartusLocation.h"

#include "platform/VendorToolchain.h"

namespace qbv::programming {

std::string FindQuartusDirectory() {
    return platform::vendorInstallDirectory();
}

std::string programmerPath(const std::string& installDirectory) {
    return platform::programmerPathIn(installDirectory);
}

} // namespace qbv::programming
