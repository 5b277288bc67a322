#include "jtagvendor/ClientLibrary.h"

#include "platform/DynamicLibrary.h"
#include "platform/Environment.h"
#include "platform/Files.h"
#include "platform/ProgramLocation.h"
#include "platform/VendorToolchain.h"

#include <mutex>

namespace qbv::jtagvendor {

namespace {

template <typename Fn> bool find(platform::LibraryHandle library, AtlanticFunction function, Fn& entry) {
    entry = reinterpret_cast<Fn>(platform::findSymbol(library, atlanticExportName(function)));
    return entry != nullptr;
}

// get_error and cable_warning only say more about what went wrong: a library without them (or with
// another name for get_error's enum) still drives the board.
bool findAll(platform::LibraryHandle library, ClientFunctions& functions) {
    find(library, kAtlanticGetError, functions.getError);
    find(library, kAtlanticCableWarning, functions.cableWarning);
    bool all = find(library, kAtlanticOpen, functions.open);
    all = find(library, kAtlanticClose, functions.close) && all;
    all = find(library, kAtlanticWrite, functions.write) && all;
    all = find(library, kAtlanticFlush, functions.flush) && all;
    all = find(library, kAtlanticRead, functions.read) && all;
    all = find(library, kAtlanticBytesAvailable, functions.bytesAvailable) && all;
    return find(library, kAtlanticWaitOpen, functions.waitOpen) && all;
}

std::string withSeparator(const std::string& folder) {
    const char last = folder.back();
    return last == '/' || last == '\\' ? folder : folder + platform::pathSeparator();
}

// The tool chain's folder is checked too: whoever may write there may replace the client's folder.
ClientFolder clientFolder() {
    const std::string chosen = platform::environmentVariable("QBV_JTAG_CLIENT_DIR");
    if (!chosen.empty()) {
        const std::string path = withSeparator(chosen);
        return {path,
                "QBV_JTAG_CLIENT_DIR",
                platform::folderDistrust(path, platform::FolderOwner::UserOrAdministrator),
                {},
                {}};
    }
    const platform::VendorInstall recorded = platform::vendorInstall();
    const std::string& install = recorded.directory;
    if (install.empty())
        return {};
    const std::string path = platform::jtagClientDirectoryIn(install);
    platform::FolderDistrust found =
        platform::firstDistrusted({install, path}, platform::FolderOwner::UserOrAdministrator);
    return {found.why.empty() ? path : found.folder, recorded.source, std::move(found.why), {}, {}};
}

// A library that is there but does not load is named, with the system's reason; one that is not there is
// the caller's to report as a missing tool chain.
bool loadFrom(const std::string& path, ClientFolder& folder, platform::LibraryHandle& library) {
    std::string failure;
    library = platform::loadLibrary(path, &failure);
    if (!library && platform::fileExists(path)) {
        folder.unloaded = path;
        folder.failure = failure;
    }
    return library != nullptr;
}

bool loadInto(ClientFolder& folder, ClientFunctions& functions) {
    // Neither is ever freed: a link may still be on its way shut when the panel frees us.
    platform::LibraryHandle client = nullptr;
    platform::LibraryHandle atlantic = nullptr;
    return loadFrom(folder.path + platform::jtagClientLibraryFileName(), folder, client) &&
           loadFrom(folder.path + platform::jtagAtlanticLibraryFileName(), folder, atlantic) &&
           findAll(atlantic, functions);
}

} // namespace

bool loadClientLibraryFrom(const std::string& folder, ClientFunctions& functions) {
    ClientFolder from{folder, {}, {}, {}, {}};
    return loadInto(from, functions);
}

const ClientFunctions* loadClientLibrary(ClientFolder& folder) {
    static std::mutex guard;
    static ClientFunctions functions;
    static std::string loadedFrom;
    const std::lock_guard<std::mutex> lock(guard);
    folder = clientFolder();
    if (folder.path.empty() || !folder.distrust.empty())
        return nullptr;
    if (!loadedFrom.empty() && folder.path == loadedFrom)
        return &functions;
    ClientFunctions found;
    if (!loadInto(folder, found))
        return nullptr;
    functions = found;
    loadedFrom = folder.path;
    return &functions;
}

} // namespace qbv::jtagvendor
