#pragma once

#include "sim/core/Frame.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>

namespace qbv::sim {

// Cuts a byte stream into frames, however the stream was split. It never holds more than one frame's
// bytes plus what it was fed at once; a header announcing an oversized payload stops it for good, since
// nothing after it can be trusted to start a frame.
class FrameDecoder {
public:
    void feed(const uint8_t* bytes, size_t count);
    // The next complete frame, if there is one.
    std::optional<Frame> next();

    bool failed() const { return failed_; }
    size_t buffered() const { return buffer_.size(); }

private:
    std::deque<uint8_t> buffer_;
    bool failed_ = false;
};

} // namespace qbv::sim
