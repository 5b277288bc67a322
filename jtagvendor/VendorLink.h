#pragma once

#include "platform/JtagApi.h"

#include <cstdint>
#include <string>

namespace qbv::jtagvendor {

// One link over the vendor's client library, kept behind the caller's 164-byte link context, and the
// last failure in words. Each function is one of the library's exports, as the panel's port calls it.
int32_t openLink(void* context);
int32_t closeLink(void* context);
// Waits until the link is ready, at most kReadyWaitMs.
int32_t waitLinkReady(void* context);
int32_t writeLink(void* context, const uint8_t* bytes, int32_t count, int32_t& written);
int32_t readLink(void* context, uint8_t* space, int32_t room, int32_t& received);

constexpr uint32_t kReadyWaitMs = 2000;

// The last failure of this process's links, and the sentence for it.
jtag::LinkError lastError(std::string& sentence);

} // namespace qbv::jtagvendor
