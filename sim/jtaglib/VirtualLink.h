#pragma once

#include "platform/JtagApi.h"

#include <cstdint>
#include <string>

namespace qbv::sim {

// The library's work, behind its C exports: one link to the virtual board per link context.
// Each returns 0 for success and -1 for failure.
int32_t openVirtualLink(void* context);
int32_t closeVirtualLink(void* context);
int32_t initVirtualChannel(void* context);
int32_t writeVirtualChannel(void* context, const uint8_t* bytes, int32_t count, int32_t& written,
                            int32_t& stall);
int32_t readVirtualChannel(void* context, uint8_t* space, int32_t room, int32_t& received, int32_t& stall);
int32_t clearVirtualStall(void* context);
bool virtualLinkUsable(const void* context);

// Why the last open failed, and the sentence for it ("" when nothing failed).
jtag::LinkError lastOpenFailure(std::string& sentence);

} // namespace qbv::sim
