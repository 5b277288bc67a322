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

// Loads the client library once (again only if its folder changed), by full path from its folder
// (QBV_JTAG_CLIENT_DIR when set, else the vendor tool chain's), the client part first so the atlantic part
// finds it loaded; never through a search path. It stays loaded for the life of the process: a link may still
// be on its way shut when the panel frees us. Null, with the folder it looked in, when it cannot be loaded or
// lacks a function.
const ClientFunctions* loadClientLibrary(std::string& folder);

// Loads the client library and then the atlantic library from folder (ending in a separator) by full
// path and finds the functions; false when either does not load or a function the link needs is missing.
// Neither library is ever freed.
bool loadClientLibraryFrom(const std::string& folder, ClientFunctions& functions);

} // namespace qbv::jtagvendor
