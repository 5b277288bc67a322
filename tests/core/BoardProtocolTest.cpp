#include "board/BoardProtocol.h"
#include "board/Jtagport.h"
#include "tests/support/BoardBytes.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeJtag.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace qbv;
using board::SendCommand;
using test::FakeJtag;
using testing::ElementsAre;
using testing::ElementsAreArray;

namespace {

struct ProtocolTest : testing::Test {
    FakeJtag fake;
    test::FakeLibraryDirectory directory;
    test::FakeClock clock{0xFFFFF000u}; // the command time-outs run across the tick's wrap
    TJtagPort port{test::programFolder()};

    void SetUp() override {
        fake.delayWith(clock);
        ASSERT_TRUE(port.Open());
        fake.clearRecord();
    }
};

} // namespace

class CommandBytesTest : public ProtocolTest, public testing::WithParamInterface<test::CommandBytes> {};

TEST_P(CommandBytesTest, SendsExactlyTheCommandsBytesAndReadsNothingBack) {
    const test::CommandBytes& example = GetParam();
    uint8_t data = example.data;
    EXPECT_TRUE(SendCommand(port, example.command, &data));
    EXPECT_THAT(fake.received(), ElementsAreArray(example.bytes));
    EXPECT_EQ(fake.count(kFakeRead), 0);
    EXPECT_FALSE(port.IsCommandInFlight());
}

INSTANTIATE_TEST_SUITE_P(Table, CommandBytesTest, testing::ValuesIn(test::kCommandBytes),
                         [](const testing::TestParamInfo<test::CommandBytes>& info) {
                             return test::bytesName(info.param);
                         });

TEST(CommandData, LedMaskAndPinByteFollowTheBoardsNumbering) {
    EXPECT_EQ(ledBit(8) | ledBit(1), 0x81);
    EXPECT_EQ(ledBit(6), 0x20);
    EXPECT_EQ(board::pinByte(87, true), 0xD7);
    EXPECT_EQ(board::pinByte(68, true), 0xC4);
    EXPECT_EQ(board::pinByte(5, false), 0x05);
    EXPECT_EQ(board::pinByte(0, false), 0x00);
    EXPECT_TRUE(board::keyPressed(0x05, 0));
    EXPECT_FALSE(board::keyPressed(0x05, 1));
    EXPECT_TRUE(board::keyPressed(0x05, 2));
    for (int key = 0; key < qbv::kKeyCount; ++key)
        EXPECT_FALSE(board::keyPressed(0xF0, key));
}

TEST_F(ProtocolTest, ReadKeysReturnsTheReplyByteEvenWhenItIsZero) {
    fake.push(kFakeRead, FakeJtag::reply({0x00}));
    uint8_t keys = 0xEE;
    EXPECT_TRUE(SendCommand(port, board::kReadKeys, &keys));
    EXPECT_EQ(keys, 0x00);
    EXPECT_THAT(fake.received(), ElementsAre(0x06));
    EXPECT_EQ(fake.calls(kFakeRead).at(0).offered, 1);
}

TEST_F(ProtocolTest, ReadKeysWithoutAReplyFailsAfterTheReadsTimeOut) {
    fake.setFallback(kFakeRead, FakeJtag::step(0, 0, -1, 50));
    uint8_t keys = 0;
    const uint32_t start = clock.tickCount();
    EXPECT_FALSE(SendCommand(port, board::kReadKeys, &keys));
    EXPECT_EQ(static_cast<uint32_t>(clock.tickCount() - start), 3050u);
    EXPECT_FALSE(port.IsCommandInFlight());
}

TEST_F(ProtocolTest, ReadKeysWhoseWriteFailsReadsNothingAndLeavesTheCallersByte) {
    fake.setFallback(kFakeWrite, FakeJtag::step(-1, 0));
    uint8_t keys = 0xAB;
    EXPECT_FALSE(SendCommand(port, board::kReadKeys, &keys));
    EXPECT_EQ(keys, 0xAB);
    EXPECT_EQ(fake.count(kFakeRead), 0);
    EXPECT_FALSE(port.IsCommandInFlight());
}

TEST_F(ProtocolTest, WriteThatNeverGoesThroughFailsTheCommand) {
    fake.setFallback(kFakeWrite, FakeJtag::step(0, 0));
    uint8_t mask = 0x80;
    EXPECT_FALSE(SendCommand(port, board::kSetLeds, &mask));
    EXPECT_TRUE(fake.received().empty());
}

namespace {
struct FlagProbe {
    const TJtagPort* port;
    std::vector<bool> seen;
};
} // namespace

TEST_F(ProtocolTest, CommandInFlightFlagIsSetOnlyWhileTheCommandIsExchanged) {
    FlagProbe probe{&port, {}};
    fake.script().delay = [](uint32_t, void* user) {
        auto* p = static_cast<FlagProbe*>(user);
        p->seen.push_back(p->port->IsCommandInFlight());
    };
    fake.script().delayUser = &probe;
    fake.push(kFakeWrite, FakeJtag::step(0, kFakeAcceptAll, -1, 1));
    fake.push(kFakeRead, FakeJtag::reply({0x03}, 1));
    uint8_t keys = 0;
    EXPECT_TRUE(SendCommand(port, board::kReadKeys, &keys));
    EXPECT_THAT(probe.seen, ElementsAre(true, true));
    EXPECT_FALSE(port.IsCommandInFlight());
}

using ProtocolDeathTest = ProtocolTest;

TEST_F(ProtocolDeathTest, NestedCommandStopsTheProgram) {
    const TJtagPort::CommandInFlight held(port);
    uint8_t data = 0;
    EXPECT_DEATH(SendCommand(port, board::kPing, &data), "another is in flight");
}

TEST_F(ProtocolDeathTest, UnknownCommandNumberStopsTheProgram) {
    uint8_t data = 0;
    EXPECT_DEATH(SendCommand(port, 2, &data), "unknown board command");
    EXPECT_DEATH(SendCommand(port, -1, &data), "unknown board command");
}
