#include "sim/jtaglib/LinkContext.h"

#include "platform/JtagApi.h"

#include <cstring>

namespace qbv::sim {

static_assert(sizeof(LinkState) <= static_cast<size_t>(qbv::jtag::kLinkContextSize));

bool loadLink(const void* context, LinkState& state) {
    if (context == nullptr)
        return false;
    std::memcpy(&state, context, sizeof state);
    return state.tag == kLinkTag && state.connection != platform::kNoConnection;
}

void storeLink(void* context, const LinkState& state) {
    if (context != nullptr)
        std::memcpy(context, &state, sizeof state);
}

void forgetLink(void* context) {
    storeLink(context, LinkState{});
}

} // namespace qbv::sim
