// The JTAG access library, vendor edition: the ten exports the panel looks up, over the FPGA vendor's
// JTAG-UART client library, for real boards. No Qt here.

#include "jtagvendor/VendorLink.h"
#include "platform/JtagExports.h"

using namespace qbv;

QBV_JTAG_EXPORT int32_t jtag_init(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, const char*, int32_t,
                                  void* context) {
    return jtagvendor::openLink(context);
}

QBV_JTAG_EXPORT int32_t jtag_close(void* context) {
    return jtagvendor::closeLink(context);
}

QBV_JTAG_EXPORT int32_t jtag_atlantic_init(void* context) {
    return jtagvendor::waitLinkReady(context);
}

// The vendor reports no stall: the stall value is always -1.
QBV_JTAG_EXPORT int32_t jtag_atlantic_write(void* context, const uint8_t* bytes, int32_t count,
                                            int32_t* written, int32_t* stall) {
    int32_t accepted = 0;
    const int32_t result = jtagvendor::writeLink(context, bytes, count, accepted);
    return jtag::reportTransfer(result, accepted, -1, written, stall);
}

QBV_JTAG_EXPORT int32_t jtag_atlantic_read(void* context, uint8_t* space, int32_t room, int32_t* received,
                                           int32_t* stall) {
    int32_t got = 0;
    const int32_t result = jtagvendor::readLink(context, space, room, got);
    return jtag::reportTransfer(result, got, -1, received, stall);
}

QBV_JTAG_EXPORT int32_t jtag_atlantic_clearstall(void*) {
    return 0;
}

// Never called by the panel; present because a library without them is refused.
QBV_JTAG_EXPORT int32_t jtag_command(void*, int32_t, int32_t) {
    return -1;
}
QBV_JTAG_EXPORT int32_t jtag_atlantic_get_offset(void*) {
    return -1;
}
QBV_JTAG_EXPORT int32_t jtag_atlantic_status(void*) {
    return -1;
}
QBV_JTAG_EXPORT int32_t jtag_atlantic_transfer(void*, const uint8_t*, int32_t, uint8_t*, int32_t) {
    return -1;
}

QBV_JTAG_EXPORT int32_t jtag_error_text(void*, char* text, int32_t room) {
    std::string sentence;
    const jtag::LinkError kind = jtagvendor::lastError(sentence);
    jtag::copyErrorText(sentence.c_str(), text, room);
    return static_cast<int32_t>(kind);
}

QBV_JTAG_EXPORT int32_t jtag_edition() {
    return static_cast<int32_t>(jtag::Edition::RealBoards);
}
