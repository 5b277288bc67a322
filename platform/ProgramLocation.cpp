#include "ProgramLocation.h"

namespace qbv::platform {

namespace {
std::string& directoryOverride() {
    static std::string directory;
    return directory;
}
} // namespace

std::string executableDirectory() {
    const std::string file = executableFile();
    return file.substr(0, file.find_last_of("/\\") + 1);
}

std::string executableName() {
    const std::string file = executableFile();
    const std::string name = file.substr(file.find_last_of("/\\") + 1);
    const bool exe = name.size() > 4 && name.compare(name.size() - 4, 4, ".exe") == 0;
    return exe ? name.substr(0, name.size() - 4) : name;
}

std::string programDirectory() {
    const std::string& chosen = directoryOverride();
    return chosen.empty() ? executableDirectory() : chosen;
}

void setProgramDirectory(const std::string& directory) {
    directoryOverride() = directory;
}

} // namespace qbv::platform
