// The fake's link forwarded to the virtual board, through the same link functions as the virtual edition
// of our JTAG library, in a link context of its own.

#include "tests/fakeclient/LinkBoard.h"

#include "platform/JtagApi.h"
#include "sim/core/SocketPath.h"
#include "sim/jtaglib/VirtualLink.h"

#include <algorithm>
#include <array>

namespace qbv::fakeclient {

namespace {

constexpr int kMaxPending = 4096;

// Any failed call counts as a broken link: the connection broke, the cable was pulled, or the board did not
// answer within a board command's time.
class VirtualBoard final : public LinkBoard {
public:
    VirtualBoard() = default;
    ~VirtualBoard() override { sim::closeVirtualLink(context_.data()); }
    VirtualBoard(const VirtualBoard&) = delete;
    VirtualBoard& operator=(const VirtualBoard&) = delete;

    bool open() { return sim::openVirtualLink(context_.data()) == 0; }

    int write(const uint8_t* bytes, int count) override {
        int32_t written = 0;
        int32_t stall = -1;
        return sim::writeVirtualChannel(context_.data(), bytes, count, written, stall) == 0 ? written : -1;
    }

    int read(uint8_t* space, int room) override {
        if (pending_.empty())
            return receive(space, room);
        const int given = std::min(room, static_cast<int>(pending_.size()));
        std::copy_n(pending_.begin(), given, space);
        pending_.erase(pending_.begin(), pending_.begin() + given);
        return given;
    }

    // The board cannot be asked how much it has ready, so what it has is fetched and kept for the next
    // reads.
    int available() override {
        std::array<uint8_t, kMaxPending> fetched;
        const int got = receive(fetched.data(), kMaxPending - static_cast<int>(pending_.size()));
        if (got < 0)
            return got;
        pending_.insert(pending_.end(), fetched.begin(), fetched.begin() + got);
        return static_cast<int>(pending_.size());
    }

private:
    int receive(uint8_t* space, int room) {
        int32_t received = 0;
        int32_t stall = -1;
        return sim::readVirtualChannel(context_.data(), space, room, received, stall) == 0 ? received : -1;
    }

    std::array<uint8_t, jtag::kLinkContextSize> context_{};
    std::vector<uint8_t> pending_;
};

// The link's own refusal, as it came: a later look at the board may find that the holder let go since.
OpenFailure whyRefused() {
    const std::string name = sim::boardNameFromEnvironment();
    std::string sentence;
    switch (sim::lastOpenFailure(sentence)) {
    case jtag::LinkError::ServerNotRunning:
        return {kJatlNoCable, "No virtual board named " + name + " is running"};
    case jtag::LinkError::InUse:
        return {kJatlInUse, "Another program holds the link of virtual board " + name};
    case jtag::LinkError::NoCable:
        return {kJatlCableNotOnHost, "The cable of virtual board " + name + " is unplugged"};
    default:
        return {kJatlOther, "Virtual board " + name + " refused the link: " + sentence};
    }
}

} // namespace

std::unique_ptr<LinkBoard> openVirtualBoard(OpenFailure& failure) {
    auto board = std::make_unique<VirtualBoard>();
    if (board->open())
        return board;
    failure = whyRefused();
    return nullptr;
}

} // namespace qbv::fakeclient
