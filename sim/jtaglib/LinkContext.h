#pragma once

#include "platform/LocalChannel.h"

#include <cstdint>

namespace qbv::sim {

// What the library keeps in the caller's 164-byte link context. It is copied in and out rather than
// cast, since nothing promises the block's alignment; the tag tells a link we set up from whatever the
// block held before.
struct LinkState {
    uint32_t tag = 0;
    platform::LocalConnection connection = platform::kNoConnection;
    uint16_t sequence = 0;
    uint8_t broken = 0; // the connection broke: the link is of no more use
    // Bytes the board sent back with the answer to a write, handed out by the next reads.
    uint8_t collectedCount = 0;
    uint8_t collectedStall = 0xFF;
    uint8_t collected[16] = {};
};

constexpr uint32_t kLinkTag = 0x51425631; // "QBV1"

// False when the context holds no link of ours.
bool loadLink(const void* context, LinkState& state);
void storeLink(void* context, const LinkState& state);
void forgetLink(void* context);

} // namespace qbv::sim
