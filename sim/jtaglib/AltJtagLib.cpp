// The JTAG access library, virtual board edition: the ten exports the panel looks up, each a thin shell
// over one link to qbv-virtual-board. No Qt here, so that any process can load it.

#include "platform/JtagExports.h"
#include "sim/jtaglib/VirtualLink.h"

#include <algorithm>

using namespace qbv;
using namespace qbv::sim;

QBV_JTAG_EXPORT int32_t jtag_init(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, const char*, int32_t,
                                  void* context) {
    return openVirtualLink(context);
}

QBV_JTAG_EXPORT int32_t jtag_close(void* context) {
    return closeVirtualLink(context);
}

QBV_JTAG_EXPORT int32_t jtag_command(void* context, int32_t, int32_t) {
    return virtualLinkUsable(context) ? 0 : -1;
}

QBV_JTAG_EXPORT int32_t jtag_atlantic_init(void* context) {
    return initVirtualChannel(context);
}

QBV_JTAG_EXPORT int32_t jtag_atlantic_get_offset(void*) {
    return 0;
}

QBV_JTAG_EXPORT int32_t jtag_atlantic_status(void* context) {
    return virtualLinkUsable(context) ? 0 : -1;
}

QBV_JTAG_EXPORT int32_t jtag_atlantic_write(void* context, const uint8_t* bytes, int32_t count,
                                            int32_t* written, int32_t* stall) {
    int32_t accepted = 0;
    int32_t stallValue = -1;
    const int32_t result = writeVirtualChannel(context, bytes, count, accepted, stallValue);
    return jtag::reportTransfer(result, accepted, stallValue, written, stall);
}

QBV_JTAG_EXPORT int32_t jtag_atlantic_read(void* context, uint8_t* space, int32_t room, int32_t* received,
                                           int32_t* stall) {
    int32_t got = 0;
    int32_t stallValue = -1;
    const int32_t result = readVirtualChannel(context, space, room, got, stallValue);
    return jtag::reportTransfer(result, got, stallValue, received, stall);
}

QBV_JTAG_EXPORT int32_t jtag_atlantic_transfer(void* context, const uint8_t* out, int32_t outCount,
                                               uint8_t* in, int32_t inRoom) {
    int32_t written = 0;
    int32_t received = 0;
    int32_t stall = -1;
    if (writeVirtualChannel(context, out, outCount, written, stall) != 0)
        return -1;
    if (readVirtualChannel(context, in, inRoom, received, stall) != 0)
        return -1;
    return received;
}

QBV_JTAG_EXPORT int32_t jtag_atlantic_clearstall(void* context) {
    return clearVirtualStall(context);
}

QBV_JTAG_EXPORT int32_t jtag_error_text(void*, char* text, int32_t room) {
    std::string sentence;
    const jtag::LinkError why = lastOpenFailure(sentence);
    jtag::copyErrorText(sentence.c_str(), text, room);
    return static_cast<int32_t>(why);
}

QBV_JTAG_EXPORT int32_t jtag_edition() {
    return static_cast<int32_t>(jtag::Edition::VirtualBoard);
}
