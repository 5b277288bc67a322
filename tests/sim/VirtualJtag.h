#pragma once

#include "board/JtagApi.h"
#include "platform/DynamicLibrary.h"

#include <cstdint>
#include <vector>

namespace qbv::test {

// bin/alt_jtaglib.so, loaded by full path, with its exports and one link context, for calling the
// library directly as the port would.
class VirtualJtag {
public:
    VirtualJtag();
    ~VirtualJtag();
    VirtualJtag(const VirtualJtag&) = delete;
    VirtualJtag& operator=(const VirtualJtag&) = delete;

    bool loaded() const { return library_ != nullptr && allFound_; }

    int32_t init();
    int32_t close() { return jtag_close(context_); }
    int32_t channelInit() { return jtag_atlantic_init(context_); }
    int32_t status() { return jtag_atlantic_status(context_); }
    int32_t clearStall() { return jtag_atlantic_clearstall(context_); }

    struct Result {
        int32_t result;
        int32_t count;
        int32_t stall;
    };
    Result write(const std::vector<uint8_t>& bytes);
    // One read call with the given room; the bytes land in received.
    Result read(int32_t room = 8);
    // Reads until count bytes came or the time passed.
    std::vector<uint8_t> readFor(size_t count, int milliseconds);

    std::vector<uint8_t> received;

private:
    platform::LibraryHandle library_ = nullptr;
    bool allFound_ = true;
    alignas(8) unsigned char context_[jtag::kLinkContextSize] = {};

    JtagInitFn jtag_init = nullptr;
    JtagCloseFn jtag_close = nullptr;
    JtagAtlanticInitFn jtag_atlantic_init = nullptr;
    JtagAtlanticStatusFn jtag_atlantic_status = nullptr;
    JtagAtlanticWriteFn jtag_atlantic_write = nullptr;
    JtagAtlanticReadFn jtag_atlantic_read = nullptr;
    JtagAtlanticClearStallFn jtag_atlantic_clearstall = nullptr;
};

} // namespace qbv::test
