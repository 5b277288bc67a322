#include "sim/core/SocketPath.h"

#include "sim/core/WireProtocol.h"

#include <cstdlib>
#include <unistd.h>

namespace qbv::sim {

namespace {

std::string temporaryDirectory() {
    const char* variable = std::getenv("TMPDIR");
    std::string directory = variable && *variable ? variable : "/tmp";
    while (directory.size() > 1 && directory.back() == '/')
        directory.pop_back();
    return directory;
}

} // namespace

std::string defaultBoardName() {
    return "qbv-virtual-board-" + std::to_string(getuid());
}

std::string boardNameFromEnvironment() {
    const char* name = std::getenv(wire::kBoardNameVariable);
    return name && *name ? name : defaultBoardName();
}

std::string linkSocketPath(const std::string& name) {
    if (!name.empty() && name.front() == '/')
        return name;
    const std::string directory = temporaryDirectory();
    return directory == "/" ? "/" + name : directory + "/" + name;
}

std::string controlSocketPath(const std::string& name) {
    return linkSocketPath(name) + wire::kControlSuffix;
}

} // namespace qbv::sim
