#include "VendorToolchain.h"

#include "WindowsText.h"

#include <windows.h>

#include <vector>

namespace qbv::platform {

namespace {

constexpr const wchar_t* kQuartusKey = L"Software\\Altera Corporation\\Quartus";
constexpr const wchar_t* kInstallDirectoryValue = L"Quartus Install Directory";

// A string value as stored, up to its first NUL; empty for a missing value or one of another type.
std::string readStringValue(HKEY key, const wchar_t* name) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return std::string();
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || size == 0)
        return std::string();
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 1);
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
        ERROR_SUCCESS)
        return std::string();
    // The stored bytes need not end with a NUL, and may hold one before their end.
    const std::wstring stored(data.data(), size / sizeof(wchar_t));
    return narrow(stored.substr(0, stored.find(L'\0')));
}

} // namespace

std::string vendorInstallDirectory() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kQuartusKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::string();
    std::string directory = readStringValue(key, kInstallDirectoryValue);
    RegCloseKey(key);
    return directory;
}

const ToolchainWords& toolchainWords() {
    static constexpr ToolchainWords kWords = {
        "the registry names no Quartus install folder",
        "the registry's Quartus install folder",
        "install the vendor's programming tools, whose installer names their folder in the registry",
        "the JTAG Server service",
        "that its USB-Blaster driver is installed",
    };
    return kWords;
}

const char* programmerFileName() {
    return "quartus_pgm.exe";
}

std::string programmerDirectoryIn(const std::string& installDirectory) {
    return installDirectory + "\\bin\\";
}

std::string programmerPathIn(const std::string& installDirectory) {
    return programmerDirectoryIn(installDirectory) + programmerFileName();
}

std::string jtagClientDirectoryIn(const std::string& installDirectory) {
    return installDirectory + "\\bin64\\";
}

const char* jtagClientLibraryFileName() {
    return "jtag_client.dll";
}

const char* jtagAtlanticLibraryFileName() {
    return "jtag_atlantic.dll";
}

} // namespace qbv::platform
