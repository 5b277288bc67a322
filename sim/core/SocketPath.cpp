#include "sim/core/SocketPath.h"

#include "platform/LocalChannel.h"
#include "sim/core/WireProtocol.h"

#include <cstdlib>

namespace qbv::sim {

std::string defaultBoardName() {
    return "qbv-virtual-board";
}

std::string boardNameFromEnvironment() {
    const char* name = std::getenv(wire::kBoardNameVariable);
    return name && *name ? name : defaultBoardName();
}

std::string linkSocketPath(const std::string& name, std::string* refusal) {
    if (!name.empty() && name.front() == '/')
        return name;
    return platform::localServerAddress(name, refusal);
}

std::string controlSocketPath(const std::string& name, std::string* refusal) {
    const std::string link = linkSocketPath(name, refusal);
    return link.empty() ? link : link + wire::kControlSuffix;
}

} // namespace qbv::sim
