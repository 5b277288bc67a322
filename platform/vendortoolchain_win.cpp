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

VendorInstall vendorInstall() {
    // A 64-bit program reads the 64-bit view unless it names the other; 32-bit installers write theirs.
    constexpr struct {
        REGSAM view;
        const char* source;
    } kViews[] = {{KEY_WOW64_64KEY, "the registry's Quartus install folder (its 64-bit view)"},
                  {KEY_WOW64_32KEY, "the registry's Quartus install folder (its 32-bit view)"}};
    for (const auto& view : kViews) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kQuartusKey, 0, KEY_READ | view.view, &key) != ERROR_SUCCESS)
            continue;
        std::string directory = readStringValue(key, kInstallDirectoryValue);
        RegCloseKey(key);
        if (!directory.empty())
            return {std::move(directory), view.source};
    }
    return {};
}

const ToolchainWords& toolchainWords() {
    static constexpr ToolchainWords kWords = {
        "the registry names no Quartus install folder (HKEY_LOCAL_MACHINE\\Software\\Altera "
        "Corporation\\Quartus, "
        "in its 64-bit and 32-bit views)",
        "install the vendor's programming tools, whose installer names their folder in the registry",
        "the JTAG Server service",
        "that its USB-Blaster driver is installed",
    };
    return kWords;
}

const char* programmerFileName() {
    return "quartus_pgm.exe";
}

std::vector<std::string> programmerDirectoriesIn(const std::string& installDirectory) {
    return {installDirectory + "\\bin\\", installDirectory + "\\bin64\\"};
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
