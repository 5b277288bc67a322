#pragma once

// How a JTAG access library edition of ours exports its functions: by their C names, and nothing else
// (the editions build with hidden visibility).

#include "board/JtagApi.h"

#if defined(_WIN32)
#define QBV_JTAG_EXPORT extern "C" __declspec(dllexport)
#else
#define QBV_JTAG_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace qbv::jtag {

// Copies a sentence into an error-text caller's room, cut to fit and NUL-terminated.
void copyErrorText(const char* sentence, char* text, int32_t room);

} // namespace qbv::jtag
