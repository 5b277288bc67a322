// libFuzzer target: arbitrary bytes as they could come over the link socket, cut into arbitrary pieces,
// decoded and handed to the board. Nothing may crash, hang or grow without bound.

#include "sim/core/BoardHost.h"
#include "sim/core/FrameDecoder.h"

#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    qbv::sim::FrameDecoder decoder;
    qbv::sim::BoardHost host;
    const size_t piece = 1 + data[0] % 64;
    uint64_t now = 0;
    for (size_t at = 1; at < size; at += piece) {
        decoder.feed(data + at, std::min(piece, size - at));
        while (std::optional<qbv::sim::Frame> frame = decoder.next()) {
            const qbv::sim::HostAnswer answer =
                host.handle(1 + static_cast<int>(frame->sequence % 2), *frame, now);
            if (answer.reply && answer.reply->payload.size() > qbv::sim::wire::kMaxPayload)
                std::abort();
            now += 7;
        }
        if (decoder.buffered() > qbv::sim::wire::kHeaderSize + qbv::sim::wire::kMaxPayload + piece)
            std::abort();
    }
    return 0;
}
