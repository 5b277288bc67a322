#pragma once

#include <string>

// The FPGA vendor's JTAG-UART client library, as its tool chain installs it beside its JTAG server: C++
// functions exported under their C++ names. JTAGATLANTIC is the library's own link; JATL_ERROR the result
// of its get_error.
struct JTAGATLANTIC;
enum JATL_ERROR : int {};

namespace qbv::jtagvendor {

struct ClientFunctions {
    JTAGATLANTIC* (*open)(const char* chain, int deviceIndex, int linkInstance, const char* appName) = nullptr;
    JATL_ERROR (*getError)(const char** otherInfo) = nullptr;
    void (*close)(JTAGATLANTIC* link) = nullptr;
    int (*write)(JTAGATLANTIC* link, const char* data, unsigned int count) = nullptr;
    int (*flush)(JTAGATLANTIC* link) = nullptr;
    int (*read)(JTAGATLANTIC* link, char* buffer, unsigned int size) = nullptr;
    int (*bytesAvailable)(JTAGATLANTIC* link) = nullptr;
    int (*waitOpen)(JTAGATLANTIC* link) = nullptr;
    int (*cableWarning)(JTAGATLANTIC* link) = nullptr;
};

// The client library's error codes for a link that did not open.
enum ClientError : int {
    kLinkBroken = -1,
    kCableNotUnique = -2,
    kCableMissing = -3,
    kCableNotOnHost = -4,
    kCableNotOnBoard = -5,
    kInUse = -6,
    kNodeNotUnique = -7,
    kNodeMissing = -8,
    kHardwareBroken = -9,
    kOtherError = -99,
};

// Loads the client library once (again only if its folder changed), by full path from its folder (QBV_JTAG_CLIENT_DIR when set, else the
// vendor tool chain's), the client part first so the atlantic part finds it loaded; never through a
// search path. It stays loaded for the life of the process: a link may still be on its way shut when the
// panel frees us. Null, with the folder it looked in, when it cannot be loaded or lacks a function.
const ClientFunctions* loadClientLibrary(std::string& folder);

} // namespace qbv::jtagvendor
