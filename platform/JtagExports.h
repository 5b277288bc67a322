#pragma once

// How a JTAG access library edition of ours exports its functions: by their C names, and nothing else
// (the editions build with hidden visibility).

#include "platform/JtagApi.h"

#if defined(_WIN32)
#define QBV_JTAG_EXPORT extern "C" __declspec(dllexport)
#else
#define QBV_JTAG_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace qbv::jtag {

// Copies a sentence into an error-text caller's room, cut to fit and NUL-terminated.
void copyErrorText(const char* sentence, char* text, int32_t room);

// Hands a write's or read's count and stall to the caller's out-values, where it gave any.
inline int32_t reportTransfer(int32_t result, int32_t count, int32_t stall, int32_t* countOut,
                              int32_t* stallOut) {
    if (countOut)
        *countOut = count;
    if (stallOut)
        *stallOut = stall;
    return result;
}

} // namespace qbv::jtag
