#include "DesignFileCheck.h"

#include "SmallFile.h"
#include "sim/core/WireProtocol.h"

namespace qbv::standin {

bool checkDesignFile(const std::string& path, std::string& content, sim::Design& design, std::string& error) {
    if (!readSmallFile(path, sim::wire::kMaxDesignFile, content, error))
        return false;
    if (!sim::readDesignFile(content, design)) {
        error = path + " is no intact design for the " + sim::wire::kDesignDevice +
                " (wrong format or device, or its checksum does not match)";
        return false;
    }
    return true;
}

} // namespace qbv::standin
