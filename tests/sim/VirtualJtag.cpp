#include "VirtualJtag.h"

#include "platform/ProgramLocation.h"

#include <chrono>

namespace qbv::test {

VirtualJtag::VirtualJtag()
    : library_(platform::loadLibrary(platform::executableDirectory() + platform::jtagLibraryFileName())) {
    if (!library_) {
        allFound_ = false;
        return;
    }
    allFound_ = platform::findEntryPoints(library_, entries_);
}

VirtualJtag::~VirtualJtag() {
    if (!library_)
        return;
    if (entries_.jtag_close)
        entries_.jtag_close(context_);
    platform::freeLibrary(library_);
}

int32_t VirtualJtag::init() {
    using namespace jtag;
    return entries_.jtag_init(kInitArgs[0], kInitArgs[1], kInitArgs[2], kInitArgs[3], kInitArgs[4],
                              kInitArgs[5], kInitTerm, kInitLast, context_);
}

VirtualJtag::Result VirtualJtag::write(const std::vector<uint8_t>& bytes) {
    Result r{0, 12345, 12345}; // the library must set both
    r.result = entries_.jtag_atlantic_write(context_, bytes.data(), static_cast<int32_t>(bytes.size()),
                                            &r.count, &r.stall);
    return r;
}

VirtualJtag::Result VirtualJtag::read(int32_t room) {
    std::vector<uint8_t> space(static_cast<size_t>(room));
    Result r{0, 12345, 12345};
    r.result = entries_.jtag_atlantic_read(context_, space.data(), room, &r.count, &r.stall);
    if (r.result == 0 && r.count > 0)
        received.insert(received.end(), space.begin(), space.begin() + r.count);
    return r;
}

std::vector<uint8_t> VirtualJtag::readFor(size_t count, int milliseconds) {
    received.clear();
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (received.size() < count && std::chrono::steady_clock::now() < end)
        read(static_cast<int32_t>(count - received.size()));
    return received;
}

} // namespace qbv::test
