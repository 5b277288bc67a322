#include "QuartusLocation.h"

#include "common/Format.h"
#include "platform/Files.h"
#include "platform/VendorToolchain.h"

#include <vector>

namespace qbv::programming {

namespace {

// The folder the programmer is taken from: the first that holds it, else the first.
std::string programmerDirectory(const std::string& installDirectory) {
    const std::vector<std::string> folders = platform::programmerDirectoriesIn(installDirectory);
    for (const std::string& folder : folders)
        if (platform::fileExists(folder + platform::programmerFileName()))
            return folder;
    return folders.front();
}

} // namespace

std::string FindQuartusDirectory() {
    return platform::vendorInstall().directory;
}

std::string programmerPath(const std::string& installDirectory) {
    return programmerDirectory(installDirectory) + platform::programmerFileName();
}

std::string programmerPlaces(const std::string& installDirectory) {
    std::string places;
    for (const std::string& folder : platform::programmerDirectoriesIn(installDirectory))
        places += (places.empty() ? "" : " or ") + folder + platform::programmerFileName();
    return places;
}

std::string programmerDistrust(const std::string& installDirectory, const std::string& namedBy) {
    const platform::FolderDistrust found =
        platform::firstDistrusted({installDirectory, programmerDirectory(installDirectory)},
                                  platform::FolderOwner::UserOrAdministrator);
    if (found.why.empty())
        return {};
    return formatText("The folder %s (from %s) is not used to run the programmer, because %s.",
                      found.folder.c_str(), namedBy.c_str(), found.why.c_str());
}

} // namespace qbv::programming
