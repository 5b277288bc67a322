#include "QuartusLocation.h"

#include "common/Format.h"
#include "platform/Files.h"
#include "platform/VendorToolchain.h"

#include <cstring>

namespace qbv::programming {

std::string FindQuartusDirectory() {
    return platform::vendorInstallDirectory();
}

std::string programmerPath(const std::string& installDirectory) {
    return platform::programmerPathIn(installDirectory);
}

// The install directory first: whoever may write there may replace the folder under it.
std::string programmerDistrust(const std::string& installDirectory) {
    const std::string programmer = programmerPath(installDirectory);
    const std::string folder =
        programmer.substr(0, programmer.size() - std::strlen(platform::programmerFileName()));
    for (const std::string& checked : {installDirectory, folder}) {
        const std::string why = platform::folderDistrust(checked, platform::FolderOwner::UserOrAdministrator);
        if (!why.empty())
            return formatText("The folder %s (from %s) is not used to run the programmer, because %s.",
                              checked.c_str(), platform::toolchainWords().source, why.c_str());
    }
    return {};
}

} // namespace qbv::programming
