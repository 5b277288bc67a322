#pragma once

#include <string>

#include "jtagvendor/JtagAtlantic.h"

namespace qbv::jtagvendor {

// The client library's functions, once found; get_error and cable_warning may be missing.
struct ClientFunctions {
    decltype(&jtagatlantic_open) open = nullptr;
    decltype(&jtagatlantic_get_error) getError = nullptr;
    decltype(&jtagatlantic_close) close = nullptr;
    decltype(&jtagatlantic_write) write = nullptr;
    decltype(&jtagatlantic_flush) flush = nullptr;
    decltype(&jtagatlantic_read) read = nullptr;
    decltype(&jtagatlantic_bytes_available) bytesAvailable = nullptr;
    decltype(&jtagatlantic_wait_open) waitOpen = nullptr;
    decltype(&jtagatlantic_cable_warning) cableWarning = nullptr;
};

// Where the client library is looked for: the folder, with its trailing separator (empty when nothing
// names one), what named it, and why it is not used when it may not be trusted (platform::folderDistrust).
struct ClientFolder {
    std::string path;
    std::string namedBy; // QBV_JTAG_CLIENT_DIR, or the tool chain's source in this system's words
    std::string distrust;
    // A library that lies there but did not load: which, and the system's reason (naming a missing
    // dependency where the system does).
    std::string unloaded;
    std::string failure;
};

// Loads the client library once (again only if its folder changed), by full path from its folder
// (QBV_JTAG_CLIENT_DIR when set, else the vendor tool chain's), the client part first so the atlantic part
// finds it loaded; never through a search path, and never from a folder that may not be trusted, nor
// from under a tool chain folder that may not. It stays loaded for the life of the process: a link may
// still be on its way shut when the panel frees us. Null, with where it looked, when it cannot be loaded or
// lacks a function.
const ClientFunctions* loadClientLibrary(ClientFolder& folder);

// Loads the client library and then the atlantic library from folder (ending in a separator) by full
// path and finds the functions; false when either does not load or a function the link needs is missing.
// Neither library is ever freed.
bool loadClientLibraryFrom(const std::string& folder, ClientFunctions& functions);

} // namespace qbv::jtagvendor
