#include "platform/UsbCables.h"

namespace qbv::platform {

// The cable's driver on Windows is the vendor's own: there is no device node to check.
bool usbCablesListed() {
    return false;
}

std::vector<UsbCable> usbBlasterCables(const std::string&) {
    return {};
}

bool udevRuleInstalled(const std::string&) {
    return false;
}

} // namespace qbv::platform
