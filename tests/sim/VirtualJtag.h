#pragma once

#include "platform/DynamicLibrary.h"
#include "platform/JtagLibrary.h"

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
    int32_t close() { return entries_.jtag_close(context_); }
    int32_t channelInit() { return entries_.jtag_atlantic_init(context_); }
    int32_t status() { return entries_.jtag_atlantic_status(context_); }
    int32_t clearStall() { return entries_.jtag_atlantic_clearstall(context_); }

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

    jtag::EntryPoints entries_;
};

} // namespace qbv::test
