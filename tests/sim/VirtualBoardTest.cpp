#include "sim/core/VirtualBoard.h"

#include "board/BoardProtocol.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

using qbv::sim::ReplyFate;
using qbv::sim::VirtualBoard;
using testing::ElementsAre;
using testing::IsEmpty;

namespace {

struct VirtualBoardTest : testing::Test {
    VirtualBoard board;
    uint64_t now = 1000;

    int send(std::vector<uint8_t> bytes) {
        return board.accept(bytes.data(), static_cast<int>(bytes.size()), now);
    }

    std::vector<uint8_t> collect(int room = 256) {
        std::vector<uint8_t> space(static_cast<size_t>(room));
        space.resize(static_cast<size_t>(board.take(space.data(), room, now)));
        return space;
    }
};

} // namespace

TEST_F(VirtualBoardTest, CommandsDriveLedsPinsAndAnswerKeyReads) {
    EXPECT_EQ(send({qbv::board::kPing}), 1);
    EXPECT_THAT(collect(), IsEmpty()); // ping has no reply

    EXPECT_EQ(send({0x01, 0x81}), 2);
    EXPECT_EQ(board.ledMask(), 0x81);
    EXPECT_TRUE(board.ledLit(0));
    EXPECT_TRUE(board.ledLit(7));
    EXPECT_FALSE(board.ledLit(1));

    send({0x05, qbv::board::pinByte(87, true), 0x05, qbv::board::pinByte(68, true), 0x05, 0x85});
    EXPECT_THAT(board.activePins(), ElementsAre(5, 68, 87));
    send({0x05, qbv::board::pinByte(68, false)});
    EXPECT_THAT(board.activePins(), ElementsAre(5, 87));

    board.setKey(0, true);
    board.setKey(2, true);
    send({0x06});
    board.setKey(0, false);
    send({0x06});
    EXPECT_THAT(collect(), ElementsAre(0x05, 0x04)); // each reply samples the keys when the command runs
    EXPECT_EQ(board.bytesReceived(), 1u + 2 + 6 + 2 + 1 + 1);
    EXPECT_EQ(board.bytesSent(), 2u);
}

TEST_F(VirtualBoardTest, BytesThatAreNoCommandAndPinsPastTheLastAreDroppedHarmlessly) {
    send({0x02, 0x03, 0x04, 0x07, 0xFF, 0x80, 0x01, 0x42});
    EXPECT_EQ(board.ledMask(), 0x42);
    send({0x05, 0x58, 0x05, 0xFF, 0x05, 0x7F}); // pin indices 88, 127 (active) and 127
    EXPECT_THAT(board.activePins(), IsEmpty());
    EXPECT_THAT(collect(), IsEmpty());
    EXPECT_EQ(board.receiveBuffered(), 0);
}

TEST_F(VirtualBoardTest, ACommandSplitAcrossWritesIsStillDecoded) {
    send({0x01});
    EXPECT_EQ(board.ledMask(), 0x00);
    EXPECT_EQ(board.receiveBuffered(), 1);
    send({0x18});
    EXPECT_EQ(board.ledMask(), 0x18);
    send({0x06, 0x05});
    send({0xD7});
    EXPECT_TRUE(board.pinActive(87));
    EXPECT_THAT(collect(), ElementsAre(0x00));
}

TEST_F(VirtualBoardTest, KeysKeepOnlyTheirFourBits) {
    board.setKeys(0xFF);
    EXPECT_EQ(board.keys(), 0x0F);
    board.setKey(4, true);
    board.setKey(-1, true);
    board.setKey(3, false);
    EXPECT_EQ(board.keys(), 0x07);
}

TEST_F(VirtualBoardTest, UncollectedRepliesFillBothBuffersAndThenBytesAreRefused) {
    const std::vector<uint8_t> reads(VirtualBoard::kSendCapacity, 0x06);
    EXPECT_EQ(send(reads), VirtualBoard::kSendCapacity);
    EXPECT_EQ(board.sendBuffered(), VirtualBoard::kSendCapacity);

    const std::vector<uint8_t> more(VirtualBoard::kReceiveCapacity + 10, 0x06);
    EXPECT_EQ(send(more), VirtualBoard::kReceiveCapacity); // waiting in the receive buffer
    EXPECT_EQ(send({0x00}), 0);

    // Collecting makes room, and the waiting commands run.
    EXPECT_EQ(collect(16).size(), 16u);
    EXPECT_EQ(board.sendBuffered(), VirtualBoard::kSendCapacity);
    EXPECT_EQ(board.receiveBuffered(), VirtualBoard::kReceiveCapacity - 16);
    EXPECT_EQ(collect(1000).size(), static_cast<size_t>(VirtualBoard::kSendCapacity));
    EXPECT_EQ(collect(1000).size(), static_cast<size_t>(VirtualBoard::kReceiveCapacity - 16));
    EXPECT_EQ(board.receiveBuffered(), 0);
}

TEST_F(VirtualBoardTest, ABlankControllerTakesAndSendsNothingUntilProgrammed) {
    send({0x01, 0xFF, 0x05, 0x81, 0x06});
    board.erase();
    EXPECT_FALSE(board.programmed());
    EXPECT_EQ(board.ledMask(), 0x00);
    EXPECT_THAT(board.activePins(), IsEmpty());
    EXPECT_THAT(collect(), IsEmpty()); // the reply from before the erase is gone
    EXPECT_EQ(send({0x01, 0xFF}), 0);
    EXPECT_EQ(board.ledMask(), 0x00);

    board.program();
    EXPECT_EQ(send({0x01, 0xFF}), 2);
    EXPECT_EQ(board.ledMask(), 0xFF);
}

TEST_F(VirtualBoardTest, ANewChannelForgetsAHalfCommandAndUncollectedReplies) {
    send({0x06, 0x01});
    board.resetChannel();
    send({0x00});
    EXPECT_EQ(board.ledMask(), 0x00); // the ping is not taken for the LED mask
    EXPECT_THAT(collect(), IsEmpty());
}

TEST_F(VirtualBoardTest, TheReplyGateDropsOrDelaysReplies) {
    std::vector<ReplyFate> fates = {{true, 0}, {false, 500}, {false, 0}};
    size_t asked = 0;
    board.setReplyGate([&] { return fates[asked++]; });
    board.setKeys(0x01);
    send({0x06, 0x06, 0x06});
    EXPECT_EQ(asked, 3u);
    EXPECT_THAT(collect(), IsEmpty()); // the delayed reply holds back the one behind it
    now += 499;
    EXPECT_THAT(collect(), IsEmpty());
    now += 1;
    EXPECT_THAT(collect(), ElementsAre(0x01, 0x01));
}
