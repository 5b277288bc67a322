#pragma once

// The FPGA vendor's JTAG-UART client library as a program sees it: nine C++ functions over an opaque link,
// exported under their C++ names, which the table below holds for both systems. Our JTAG library for real
// boards looks the functions up by it. The tests' fake of the library defines exactly these prototypes, so
// g++ gives them the Linux names by itself; its Windows DLL's .def file, which CMake writes from the table,
// exports each under the vendor compiler's name.

#include "common/EnumTable.h"

struct JTAGATLANTIC;

enum JATL_ERROR {
    kJatlSuccess = 0,
    kJatlLinkBroken = -1,
    kJatlCableNotUnique = -2,
    kJatlNoCable = -3,
    kJatlCableNotOnHost = -4,
    kJatlCableNotOnBoard = -5,
    kJatlInUse = -6,
    kJatlNodeNotUnique = -7,
    kJatlNoNode = -8,
    kJatlHardware = -9,
    kJatlOther = -99,
};

// chain: the cable's name, or nullptr for the only cable; device_index and link_instance: -1 for any.
JTAGATLANTIC* jtagatlantic_open(const char* chain, int device_index, int link_instance, const char* app_name);
// The error of the last open that failed, and a detail text (or nullptr) in otherInfo.
JATL_ERROR jtagatlantic_get_error(const char** otherInfo);
void jtagatlantic_close(JTAGATLANTIC* link);
// Bytes accepted, perhaps fewer than count; negative once the link broke (so for the next three too).
int jtagatlantic_write(JTAGATLANTIC* link, const char* data, unsigned int count);
int jtagatlantic_flush(JTAGATLANTIC* link);
int jtagatlantic_read(JTAGATLANTIC* link, char* buffer, unsigned int size);
int jtagatlantic_bytes_available(JTAGATLANTIC* link);
// 0 once the link is ready.
int jtagatlantic_wait_open(JTAGATLANTIC* link);
int jtagatlantic_cable_warning(JTAGATLANTIC* link);

enum AtlanticFunction {
    kAtlanticOpen,
    kAtlanticGetError,
    kAtlanticClose,
    kAtlanticWrite,
    kAtlanticFlush,
    kAtlanticRead,
    kAtlanticBytesAvailable,
    kAtlanticWaitOpen,
    kAtlanticCableWarning,
    kAtlanticFunctionCount
};

struct AtlanticExport {
    AtlanticFunction function;
    const char* itanium;   // g++, Linux
    const char* microsoft; // Windows x64
};

inline constexpr AtlanticExport kAtlanticExports[] = {
    {kAtlanticOpen, "_Z17jtagatlantic_openPKciiS0_", "?jtagatlantic_open@@YAPEAUJTAGATLANTIC@@PEBDHH0@Z"},
    {kAtlanticGetError, "_Z22jtagatlantic_get_errorPPKc",
     "?jtagatlantic_get_error@@YA?AW4JATL_ERROR@@PEAPEBD@Z"},
    {kAtlanticClose, "_Z18jtagatlantic_closeP12JTAGATLANTIC", "?jtagatlantic_close@@YAXPEAUJTAGATLANTIC@@@Z"},
    {kAtlanticWrite, "_Z18jtagatlantic_writeP12JTAGATLANTICPKcj",
     "?jtagatlantic_write@@YAHPEAUJTAGATLANTIC@@PEBDI@Z"},
    {kAtlanticFlush, "_Z18jtagatlantic_flushP12JTAGATLANTIC", "?jtagatlantic_flush@@YAHPEAUJTAGATLANTIC@@@Z"},
    {kAtlanticRead, "_Z17jtagatlantic_readP12JTAGATLANTICPcj",
     "?jtagatlantic_read@@YAHPEAUJTAGATLANTIC@@PEADI@Z"},
    {kAtlanticBytesAvailable, "_Z28jtagatlantic_bytes_availableP12JTAGATLANTIC",
     "?jtagatlantic_bytes_available@@YAHPEAUJTAGATLANTIC@@@Z"},
    {kAtlanticWaitOpen, "_Z22jtagatlantic_wait_openP12JTAGATLANTIC",
     "?jtagatlantic_wait_open@@YAHPEAUJTAGATLANTIC@@@Z"},
    {kAtlanticCableWarning, "_Z26jtagatlantic_cable_warningP12JTAGATLANTIC",
     "?jtagatlantic_cable_warning@@YAHPEAUJTAGATLANTIC@@@Z"},
};
static_assert(qbv::rowsInEnumOrder(kAtlanticExports, &AtlanticExport::function, kAtlanticFunctionCount));

// The name this platform's library exports the function under.
constexpr const char* atlanticExportName(AtlanticFunction function) {
#ifdef _WIN32
    return qbv::rowOf(kAtlanticExports, function).microsoft;
#else
    return qbv::rowOf(kAtlanticExports, function).itanium;
#endif
}
