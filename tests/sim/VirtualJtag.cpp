#include "VirtualJtag.h"

#include "platform/ProgramLocation.h"

#include <chrono>

namespace qbv::test {

namespace {

template <typename Fn> void resolve(platform::LibraryHandle library, const char* name, Fn& entry, bool& all) {
    entry = reinterpret_cast<Fn>(platform::findSymbol(library, name));
    all = all && entry != nullptr;
}

} // namespace

VirtualJtag::VirtualJtag()
    : library_(platform::loadLibrary(platform::executableDirectory() + platform::jtagLibraryFileName())) {
    if (!library_) {
        allFound_ = false;
        return;
    }
    for (const char* name : jtag::kFunctionNames)
        allFound_ = allFound_ && platform::findSymbol(library_, name) != nullptr;
    resolve(library_, "jtag_init", jtag_init, allFound_);
    resolve(library_, "jtag_close", jtag_close, allFound_);
    resolve(library_, "jtag_atlantic_init", jtag_atlantic_init, allFound_);
    resolve(library_, "jtag_atlantic_status", jtag_atlantic_status, allFound_);
    resolve(library_, "jtag_atlantic_write", jtag_atlantic_write, allFound_);
    resolve(library_, "jtag_atlantic_read", jtag_atlantic_read, allFound_);
    resolve(library_, "jtag_atlantic_clearstall", jtag_atlantic_clearstall, allFound_);
}

VirtualJtag::~VirtualJtag() {
    if (!library_)
        return;
    if (jtag_close)
        jtag_close(context_);
    platform::freeLibrary(library_);
}

int32_t VirtualJtag::init() {
    using namespace jtag;
    return jtag_init(kInitArgs[0], kInitArgs[1], kInitArgs[2], kInitArgs[3], kInitArgs[4], kInitArgs[5],
                     kInitTerm, kInitLast, context_);
}

VirtualJtag::Result VirtualJtag::write(const std::vector<uint8_t>& bytes) {
    Result r{0, 12345, 12345}; // the library must set both
    r.result =
        jtag_atlantic_write(context_, bytes.data(), static_cast<int32_t>(bytes.size()), &r.count, &r.stall);
    return r;
}

VirtualJtag::Result VirtualJtag::read(int32_t room) {
    std::vector<uint8_t> space(static_cast<size_t>(room));
    Result r{0, 12345, 12345};
    r.result = jtag_atlantic_read(context_, space.data(), room, &r.count, &r.stall);
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
