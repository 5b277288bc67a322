#pragma once

// The interface of the JTAG access library: ten functions with the C calling convention, each returning
// 0 for success. The panel calls six of them; the other four must be exported all the same. Our own
// libraries (the test fake, the virtual board's edition) export exactly these.

#include "common/EnumTable.h"

#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define JTAG_CALL __cdecl
#else
#define JTAG_CALL
#endif

extern "C" {
using JtagInitFn = int32_t(JTAG_CALL*)(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, const char* term,
                                       int32_t, void* context);
using JtagCloseFn = int32_t(JTAG_CALL*)(void* context);
using JtagCommandFn = int32_t(JTAG_CALL*)(void* context, int32_t command, int32_t argument);
using JtagAtlanticInitFn = int32_t(JTAG_CALL*)(void* context);
using JtagAtlanticGetOffsetFn = int32_t(JTAG_CALL*)(void* context);
using JtagAtlanticStatusFn = int32_t(JTAG_CALL*)(void* context);
using JtagAtlanticWriteFn = int32_t(JTAG_CALL*)(void* context, const uint8_t* bytes, int32_t count,
                                                int32_t* written, int32_t* stall);
using JtagAtlanticReadFn = int32_t(JTAG_CALL*)(void* context, uint8_t* space, int32_t room, int32_t* received,
                                               int32_t* stall);
using JtagAtlanticTransferFn = int32_t(JTAG_CALL*)(void* context, const uint8_t* out, int32_t outCount,
                                                   uint8_t* in, int32_t inRoom);
using JtagAtlanticClearStallFn = int32_t(JTAG_CALL*)(void* context);
}

namespace qbv::jtag {

// Our own editions' extra export, which the maker's library lacks: why the last failure happened, in
// words a user can act on. Fills text (cut to room, always NUL-terminated) and returns the kind.
enum class LinkError : int32_t {
    None = 0,
    NoToolChain = 1,      // the vendor's JTAG client library was not found
    ServerNotRunning = 2, // the JTAG server (or the virtual board) does not answer
    NoCable = 3,          // the cable is not plugged in, or not to the board
    InUse = 4,            // another program holds the link
    NoJtagUart = 5,       // nothing on the board answers on the JTAG UART: the controller is not programmed
    Other = 6,
    NotOurs = 7, // the server that answers (the virtual board's, say) is another user's: it is not used
    CableNotUnique = 8, // more than one cable, and none named to use
};
using JtagErrorTextFn = int32_t(JTAG_CALL*)(void* context, char* text, int32_t room);
constexpr const char* kErrorTextName = "jtag_error_text";
// And which edition it is: ours return their own; the maker's, which lacks the export, is Makers.
enum class Edition : int32_t {
    Makers = 0,       // the board maker's own library
    VirtualBoard = 1, // ours, for the virtual board (sim/jtaglib)
    RealBoards = 2,   // ours, for real boards, over the FPGA vendor's JTAG-UART client (jtagvendor/)
};
constexpr int kEditionCount = static_cast<int>(Edition::RealBoards) + 1;
using JtagEditionFn = int32_t(JTAG_CALL*)();
constexpr const char* kEditionName = "jtag_edition";
// The edition a library or the helper reported; a value this program does not know is taken for the
// maker's, which tells nothing of itself either.
constexpr Edition editionFrom(int32_t value) {
    return value > 0 && value < kEditionCount ? static_cast<Edition>(value) : Edition::Makers;
}

// Size of the link context the port owns and the library fills in.
constexpr int kLinkContextSize = 164;

// The arguments the port passes to jtag_init, besides the link context.
constexpr int32_t kInitArgs[6] = {0, 0, 0, 0, 128, -1};
constexpr const char* kInitTerm = "jtag_term";
constexpr int32_t kInitLast = 1;

// The ten exports, in the order the port looks them up, and their names.
enum Function : int {
    kJtagInit,
    kJtagClose,
    kJtagCommand,
    kJtagAtlanticInit,
    kJtagAtlanticGetOffset,
    kJtagAtlanticStatus,
    kJtagAtlanticWrite,
    kJtagAtlanticRead,
    kJtagAtlanticTransfer,
    kJtagAtlanticClearStall,
    kFunctionCount
};
struct FunctionName {
    Function function;
    const char* name;
};
constexpr FunctionName kFunctionNames[] = {
    {kJtagInit, "jtag_init"},
    {kJtagClose, "jtag_close"},
    {kJtagCommand, "jtag_command"},
    {kJtagAtlanticInit, "jtag_atlantic_init"},
    {kJtagAtlanticGetOffset, "jtag_atlantic_get_offset"},
    {kJtagAtlanticStatus, "jtag_atlantic_status"},
    {kJtagAtlanticWrite, "jtag_atlantic_write"},
    {kJtagAtlanticRead, "jtag_atlantic_read"},
    {kJtagAtlanticTransfer, "jtag_atlantic_transfer"},
    {kJtagAtlanticClearStall, "jtag_atlantic_clearstall"},
};
static_assert(rowsInEnumOrder(kFunctionNames, &FunctionName::function, kFunctionCount));

// The ten entry points of a library loaded into this program.
struct EntryPoints {
    JtagInitFn jtag_init = nullptr;
    JtagCloseFn jtag_close = nullptr;
    JtagCommandFn jtag_command = nullptr;
    JtagAtlanticInitFn jtag_atlantic_init = nullptr;
    JtagAtlanticGetOffsetFn jtag_atlantic_get_offset = nullptr;
    JtagAtlanticStatusFn jtag_atlantic_status = nullptr;
    JtagAtlanticWriteFn jtag_atlantic_write = nullptr;
    JtagAtlanticReadFn jtag_atlantic_read = nullptr;
    JtagAtlanticTransferFn jtag_atlantic_transfer = nullptr;
    JtagAtlanticClearStallFn jtag_atlantic_clearstall = nullptr;
};

} // namespace qbv::jtag
