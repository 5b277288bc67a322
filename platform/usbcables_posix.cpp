#include "platform/UsbCables.h"

#include "common/Format.h"

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace qbv::platform {

namespace {

constexpr const char* kBlasterVendor = "09fb";
constexpr const char* kRuleName = "51-qbv-usb-blaster.rules";
// Where udev takes rules from: the administrator's folder, and the packages' folders.
constexpr const char* kRuleFolders[] = {"etc/udev/rules.d/", "lib/udev/rules.d/", "usr/lib/udev/rules.d/"};

// A sysfs attribute's one line.
std::string attribute(const std::filesystem::path& device, const char* name) {
    std::string value;
    std::ifstream(device / name) >> value;
    return value;
}

// The root with its trailing separator, as the paths below are made.
std::string rooted(const std::string& systemRoot) {
    return systemRoot.empty() || systemRoot.back() != '/' ? systemRoot + '/' : systemRoot;
}

} // namespace

bool usbCablesListed() {
#ifdef __linux__
    return true;
#else
    return false;
#endif
}

std::vector<UsbCable> usbBlasterCables(const std::string& root) {
    const std::string systemRoot = rooted(root);
    std::vector<UsbCable> cables;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(systemRoot + "sys/bus/usb/devices", error)) {
        if (attribute(entry.path(), "idVendor") != kBlasterVendor)
            continue;
        UsbCable cable;
        cable.product = attribute(entry.path(), "idProduct");
        const int bus = std::atoi(attribute(entry.path(), "busnum").c_str());
        const int device = std::atoi(attribute(entry.path(), "devnum").c_str());
        cable.node = formatText("%sdev/bus/usb/%03d/%03d", systemRoot.c_str(), bus, device);
        cable.nodeExists = std::filesystem::exists(cable.node, error);
        cable.readWrite = cable.nodeExists && ::access(cable.node.c_str(), R_OK | W_OK) == 0;
        cables.push_back(std::move(cable));
    }
    return cables;
}

bool udevRuleInstalled(const std::string& root) {
    const std::string systemRoot = rooted(root);
    std::error_code error;
    for (const char* folder : kRuleFolders)
        if (std::filesystem::exists(systemRoot + folder + kRuleName, error))
            return true;
    return false;
}

} // namespace qbv::platform
