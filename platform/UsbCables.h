#pragma once

#include <string>
#include <vector>

namespace qbv::platform {

// A USB-Blaster-class cable (USB vendor 09fb) on the bus, and whether this user may read and write the
// device node the vendor's JTAG server opens for it.
struct UsbCable {
    std::string product; // the USB product id, "6001"
    std::string node;    // "/dev/bus/usb/001/005"
    bool nodeExists = false;
    bool readWrite = false;
};

// Whether this system lists its USB devices where the cables can be told from them (Linux); elsewhere the
// cable's driver is the vendor's, and nothing here applies.
bool usbCablesListed();
// The system's root folder, under which it lists its devices (sys/bus/usb/devices, dev) and keeps its rules
// (etc, lib): "/", or a folder laid out as it.
constexpr const char* kSystemRoot = "/";
// The USB-Blaster-class cables on the bus, in the order the system lists them.
std::vector<UsbCable> usbBlasterCables(const std::string& systemRoot);
// Whether the project's udev rule for the cables is installed, by the package or by hand.
bool udevRuleInstalled(const std::string& systemRoot);

} // namespace qbv::platform
