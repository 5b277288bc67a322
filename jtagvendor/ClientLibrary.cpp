#include "jtagvendor/ClientLibrary.h"

#include "platform/DynamicLibrary.h"
#include "platform/Environment.h"
#include "platform/ProgramLocation.h"
#include "platform/VendorToolchain.h"

#include <mutex>

namespace qbv::jtagvendor {

namespace {

// The exported names, from the prototypes above: the Itanium names g++ gives, and Microsoft's on Windows.
struct ExportName {
    const char* itanium;
    const char* microsoft;
};
constexpr ExportName kExports[] = {
    {"_Z17jtagatlantic_openPKciiS0_", "?jtagatlantic_open@@YAPEAUJTAGATLANTIC@@PEBDHH0@Z"},
    {"_Z22jtagatlantic_get_errorPPKc", "?jtagatlantic_get_error@@YA?AW4JATL_ERROR@@PEAPEBD@Z"},
    {"_Z18jtagatlantic_closeP12JTAGATLANTIC", "?jtagatlantic_close@@YAXPEAUJTAGATLANTIC@@@Z"},
    {"_Z18jtagatlantic_writeP12JTAGATLANTICPKcj", "?jtagatlantic_write@@YAHPEAUJTAGATLANTIC@@PEBDI@Z"},
    {"_Z18jtagatlantic_flushP12JTAGATLANTIC", "?jtagatlantic_flush@@YAHPEAUJTAGATLANTIC@@@Z"},
    {"_Z17jtagatlantic_readP12JTAGATLANTICPcj", "?jtagatlantic_read@@YAHPEAUJTAGATLANTIC@@PEADI@Z"},
    {"_Z28jtagatlantic_bytes_availableP12JTAGATLANTIC", "?jtagatlantic_bytes_available@@YAHPEAUJTAGATLANTIC@@@Z"},
    {"_Z22jtagatlantic_wait_openP12JTAGATLANTIC", "?jtagatlantic_wait_open@@YAHPEAUJTAGATLANTIC@@@Z"},
    {"_Z26jtagatlantic_cable_warningP12JTAGATLANTIC", "?jtagatlantic_cable_warning@@YAHPEAUJTAGATLANTIC@@@Z"},
};

template <typename Fn> bool find(platform::LibraryHandle library, const ExportName& name, Fn& entry) {
#ifdef _WIN32
    entry = reinterpret_cast<Fn>(platform::findSymbol(library, name.microsoft));
#else
    entry = reinterpret_cast<Fn>(platform::findSymbol(library, name.itanium));
#endif
    return entry != nullptr;
}

// get_error and cable_warning only say more about what went wrong: a library without them (or with
// another name for get_error's enum) still drives the board.
bool findAll(platform::LibraryHandle library, ClientFunctions& functions) {
    find(library, kExports[1], functions.getError);
    find(library, kExports[8], functions.cableWarning);
    bool all = find(library, kExports[0], functions.open);
    all = find(library, kExports[2], functions.close) && all;
    all = find(library, kExports[3], functions.write) && all;
    all = find(library, kExports[4], functions.flush) && all;
    all = find(library, kExports[5], functions.read) && all;
    all = find(library, kExports[6], functions.bytesAvailable) && all;
    return find(library, kExports[7], functions.waitOpen) && all;
}

std::string clientFolder() {
    const std::string chosen = platform::environmentVariable("QBV_JTAG_CLIENT_DIR");
    if (!chosen.empty()) {
        const char last = chosen.back();
        return last == '/' || last == '\\' ? chosen : chosen + platform::pathSeparator();
    }
    const std::string install = platform::vendorInstallDirectory();
    return install.empty() ? std::string() : platform::jtagClientDirectoryIn(install);
}

} // namespace

const ClientFunctions* loadClientLibrary(std::string& folder) {
    static std::mutex guard;
    static ClientFunctions functions;
    static std::string loadedFrom;
    const std::lock_guard<std::mutex> lock(guard);
    folder = clientFolder();
    if (!loadedFrom.empty() && folder == loadedFrom)
        return &functions;
    if (folder.empty())
        return nullptr;
    // Neither is ever freed: see above.
    if (!platform::loadLibrary(folder + platform::jtagClientLibraryFileName()))
        return nullptr;
    const platform::LibraryHandle atlantic = platform::loadLibrary(folder + platform::jtagAtlanticLibraryFileName());
    ClientFunctions found;
    if (!atlantic || !findAll(atlantic, found))
        return nullptr;
    functions = found;
    loadedFrom = folder;
    return &functions;
}

} // namespace qbv::jtagvendor
