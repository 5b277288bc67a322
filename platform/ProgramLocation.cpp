#include "ProgramLocation.h"

namespace qbv::platform {

namespace {
std::string& directoryOverride() {
    static std::string directory;
    return directory;
}
} // namespace

std::string programDirectory() {
    const std::string& chosen = directoryOverride();
    return chosen.empty() ? executableDirectory() : chosen;
}

void setProgramDirectory(const std::string& directory) {
    directoryOverride() = directory;
}

} // namespace qbv::platform
