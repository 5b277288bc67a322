#include "QuartusLocation.h"

#include "common/Format.h"
#include "platform/Files.h"
#include "platform/VendorToolchain.h"

namespace qbv::programming {

std::string FindQuartusDirectory() {
    return platform::vendorInstallDirectory();
}

std::string programmerPath(const std::string& installDirectory) {
    return platform::programmerPathIn(installDirectory);
}

std::string programmerDistrust(const std::string& installDirectory, const std::string& namedBy) {
    const platform::FolderDistrust found =
        platform::firstDistrusted({installDirectory, platform::programmerDirectoryIn(installDirectory)},
                                  platform::FolderOwner::UserOrAdministrator);
    if (found.why.empty())
        return {};
    return formatText("The folder %s (from %s) is not used to run the programmer, because %s.",
                      found.folder.c_str(), namedBy.c_str(), found.why.c_str());
}

} // namespace qbv::programming
