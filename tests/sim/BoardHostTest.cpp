#include "sim/core/BoardHost.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace qbv::sim;
using testing::ElementsAre;

namespace {

constexpr int kPanel = 1;
constexpr int kOther = 2;

struct BoardHostTest : testing::Test {
    BoardHost host;
    uint64_t now = 0;
    uint16_t sequence = 0;

    HostAnswer ask(int session, uint8_t type, std::vector<uint8_t> payload = {}) {
        return host.handle(session, Frame{type, ++sequence, std::move(payload)}, now);
    }
    uint8_t status(int session, uint8_t type, std::vector<uint8_t> payload = {}) {
        const HostAnswer answer = ask(session, type, std::move(payload));
        return answer.reply ? answer.reply->payload.at(0) : 0xEE;
    }
    uint8_t open(int session) { return status(session, wire::kOpenLink, {wire::kProtocolVersion}); }

    // status, stall, accepted
    std::vector<int> write(int session, std::vector<uint8_t> bytes) {
        const Frame reply = *ask(session, wire::kWrite, std::move(bytes)).reply;
        EXPECT_EQ(reply.type, wire::kWriteReply);
        EXPECT_EQ(reply.sequence, sequence);
        return {reply.payload[0], reply.payload[1], readLittle16(reply.payload.data() + 2)};
    }
    // status, stall, then the bytes
    std::vector<int> read(int session, uint16_t room = 16) {
        std::vector<uint8_t> payload;
        appendLittle16(payload, room);
        const Frame reply = *ask(session, wire::kRead, payload).reply;
        EXPECT_EQ(reply.type, wire::kReadReply);
        return std::vector<int>(reply.payload.begin(), reply.payload.end());
    }
};

constexpr int kOk = wire::kStatusOk;
constexpr int kNoStall = wire::kNoStall;
constexpr int kStall = wire::kStallReported;

} // namespace

TEST_F(BoardHostTest, OneLinkAtATimeFreedByCloseOrByTheClientGoing) {
    EXPECT_EQ(open(kPanel), wire::kStatusOk);
    EXPECT_TRUE(host.linkOpen());
    EXPECT_EQ(open(kOther), wire::kStatusBusy);
    EXPECT_EQ(open(kPanel), wire::kStatusOk); // opening again on the same connection is fine

    const HostAnswer closed = ask(kPanel, wire::kCloseLink);
    EXPECT_FALSE(closed.reply);
    EXPECT_TRUE(closed.hangUp);
    EXPECT_FALSE(host.linkOpen());

    EXPECT_EQ(open(kOther), wire::kStatusOk);
    host.sessionEnded(kPanel); // a stranger going does not free it
    EXPECT_TRUE(host.linkOpen());
    host.sessionEnded(kOther);
    EXPECT_FALSE(host.linkOpen());
}

TEST_F(BoardHostTest, OpeningIsRefusedUnpluggedOrWithAnotherProtocolVersion) {
    host.setPlugged(false);
    EXPECT_EQ(open(kPanel), wire::kStatusUnplugged);
    host.setPlugged(true);
    EXPECT_EQ(status(kPanel, wire::kOpenLink, {wire::kProtocolVersion + 1}), wire::kStatusBadVersion);
    EXPECT_EQ(status(kPanel, wire::kOpenLink, {}), wire::kStatusBadVersion);
    EXPECT_FALSE(host.linkOpen());
}

TEST_F(BoardHostTest, WithoutTheLinkEveryRequestFails) {
    EXPECT_EQ(open(kPanel), wire::kStatusOk);
    EXPECT_EQ(status(kOther, wire::kChannelInit), wire::kStatusNoLink);
    EXPECT_THAT(write(kOther, {0x01, 0xFF}), ElementsAre(wire::kStatusNoLink, kNoStall, 0));
    EXPECT_EQ(status(kOther, wire::kClearStall), wire::kStatusNoLink);
    EXPECT_EQ(read(kOther)[0], wire::kStatusNoLink);
    EXPECT_EQ(host.board().ledMask(), 0x00);
}

TEST_F(BoardHostTest, PullingTheCableEndsTheLink) {
    EXPECT_EQ(open(kPanel), wire::kStatusOk);
    host.setPlugged(false);
    EXPECT_FALSE(host.linkOpen());
    EXPECT_THAT(write(kPanel, {0x00}), ElementsAre(wire::kStatusUnplugged, kNoStall, 0));
    host.setPlugged(true);
    EXPECT_THAT(write(kPanel, {0x00}), ElementsAre(wire::kStatusNoLink, kNoStall, 0));
    EXPECT_EQ(open(kPanel), wire::kStatusOk);
    EXPECT_THAT(write(kPanel, {0x00}), ElementsAre(kOk, kNoStall, 1));
}

TEST_F(BoardHostTest, WritesAndReadsReachTheBoard) {
    EXPECT_EQ(open(kPanel), wire::kStatusOk);
    EXPECT_EQ(status(kPanel, wire::kChannelInit), wire::kStatusOk);
    EXPECT_THAT(write(kPanel, {0x01, 0x81, 0x06}), ElementsAre(kOk, kNoStall, 3));
    EXPECT_EQ(host.board().ledMask(), 0x81);
    EXPECT_THAT(read(kPanel), ElementsAre(kOk, kNoStall, 0x00));
    EXPECT_THAT(read(kPanel), ElementsAre(kOk, kNoStall));
    EXPECT_THAT(read(kPanel, 0), ElementsAre(kOk, kNoStall));
}

TEST_F(BoardHostTest, OpeningALinkStartsAFreshChannel) {
    EXPECT_EQ(open(kPanel), wire::kStatusOk);
    write(kPanel, {0x06, 0x01}); // a reply nobody collects, a command cut short
    host.sessionEnded(kPanel);
    EXPECT_EQ(open(kOther), wire::kStatusOk);
    EXPECT_THAT(read(kOther), ElementsAre(kOk, kNoStall));
    write(kOther, {0x00});
    EXPECT_EQ(host.board().ledMask(), 0x00);
}

TEST_F(BoardHostTest, MalformedAndUnknownRequestsAreAnsweredOrHungUpOn) {
    EXPECT_EQ(open(kPanel), wire::kStatusOk);
    EXPECT_EQ(read(kPanel)[0], kOk);
    EXPECT_EQ(status(kPanel, wire::kRead, {1}), wire::kStatusBadRequest);
    EXPECT_EQ(status(kPanel, wire::kRead, {1, 2, 3}), wire::kStatusBadRequest);
    const HostAnswer unknown = ask(kPanel, 'Z', {1, 2});
    EXPECT_FALSE(unknown.reply);
    EXPECT_TRUE(unknown.hangUp);
    EXPECT_TRUE(host.linkOpen()); // the server ends the session, which frees the link
}

TEST_F(BoardHostTest, StallFaultReportsStallsForTheNextOperationsAndCountsClears) {
    open(kPanel);
    host.faults().set(Fault::Stall, 2);
    EXPECT_THAT(write(kPanel, {0x00}), ElementsAre(kOk, kStall, 1));
    EXPECT_THAT(read(kPanel), ElementsAre(kOk, kStall));
    EXPECT_THAT(write(kPanel, {0x00}), ElementsAre(kOk, kNoStall, 1));
    EXPECT_EQ(status(kPanel, wire::kClearStall), wire::kStatusOk);
    EXPECT_EQ(host.stallsCleared(), 1u);
}

TEST_F(BoardHostTest, PartialAndZeroFaultsCutWhatWritesAccept) {
    open(kPanel);
    host.faults().set(Fault::Partial, 1);
    EXPECT_THAT(write(kPanel, {0x01, 0x18}), ElementsAre(kOk, kNoStall, 1));
    EXPECT_THAT(write(kPanel, {0x18}), ElementsAre(kOk, kNoStall, 1));
    EXPECT_EQ(host.board().ledMask(), 0x18);

    host.faults().set(Fault::Zero, FaultPlan::kUntilCleared);
    for (int i = 0; i < 5; ++i)
        EXPECT_THAT(write(kPanel, {0x01, 0xFF}), ElementsAre(kOk, kNoStall, 0));
    EXPECT_EQ(host.board().ledMask(), 0x18);
    host.faults().clear();
    EXPECT_THAT(write(kPanel, {0x01, 0xFF}), ElementsAre(kOk, kNoStall, 2));
}

TEST_F(BoardHostTest, DropAndDelayFaultsActOnKeyReplies) {
    open(kPanel);
    host.board().setKeys(0x08);
    host.faults().set(Fault::Drop, 1);
    host.faults().setDelay(250, 1);
    write(kPanel, {0x06}); // dropped
    write(kPanel, {0x06}); // delayed
    write(kPanel, {0x06}); // behind the delayed one
    EXPECT_THAT(read(kPanel), ElementsAre(kOk, kNoStall));
    now += 250;
    EXPECT_THAT(read(kPanel), ElementsAre(kOk, kNoStall, 0x08, 0x08));
    EXPECT_EQ(host.faults().remaining(Fault::Drop), 0);
    EXPECT_EQ(host.faults().remaining(Fault::Delay), 0);
}

TEST_F(BoardHostTest, ABlankControllerAcceptsNoBytesButTheLinkOpens) {
    host.board().erase();
    EXPECT_EQ(open(kPanel), wire::kStatusOk);
    EXPECT_EQ(status(kPanel, wire::kChannelInit), wire::kStatusOk);
    EXPECT_THAT(write(kPanel, {0x00}), ElementsAre(kOk, kNoStall, 0));
}

TEST_F(BoardHostTest, WriteAndCollectCarriesTheReplyBackWithinItsRoom) {
    open(kPanel);
    host.board().setKeys(0x05);
    const auto writeCollect = [&](std::vector<uint8_t> payload) {
        return ask(kPanel, wire::kWriteCollect, std::move(payload)).reply->payload;
    };
    // room 16, then read keys: the key state comes back with the answer to the write
    EXPECT_THAT(writeCollect({16, 0x06}), ElementsAre(kOk, kNoStall, 1, 0, 0x05));
    EXPECT_THAT(read(kPanel), ElementsAre(kOk, kNoStall));
    // no room: the reply waits for a read
    EXPECT_THAT(writeCollect({0, 0x06}), ElementsAre(kOk, kNoStall, 1, 0));
    EXPECT_THAT(read(kPanel), ElementsAre(kOk, kNoStall, 0x05));
    // more room than the library may ask for, or no room byte at all
    EXPECT_EQ(writeCollect({17, 0x06})[0], wire::kStatusBadRequest);
    EXPECT_EQ(writeCollect({})[0], wire::kStatusBadRequest);
    EXPECT_THAT(read(kPanel), ElementsAre(kOk, kNoStall));
}
