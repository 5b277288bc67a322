#include "board/Jtagport.h"
#include "platform/MessagePump.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeJtag.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace qbv;
using test::FakeJtag;
using testing::ElementsAre;

namespace {

constexpr uint32_t kTimeout = 3000;
constexpr uint32_t kNearWrap = 0xFFFFFA00u; // 1536 ms before the tick counter wraps

// An open port on the fake library, with time under the test's control: it moves only by the delays the
// script gives the library's calls and by the port's own pauses.
struct TransferTest : testing::TestWithParam<uint32_t> {
    FakeJtag fake;
    test::FakeLibraryDirectory directory;
    test::FakeClock clock{GetParam()};
    TJtagPort port{test::programFolder()};

    int pumped = 0;

    ~TransferTest() override { platform::setMessagePump({}); }

    void SetUp() override {
        platform::setMessagePump([this] { ++pumped; });
        fake.delayWith(clock);
        ASSERT_TRUE(port.Open());
        fake.clearRecord();
    }

    uint32_t elapsed() { return static_cast<uint32_t>(clock.tickCount() - GetParam()); }

    std::vector<int32_t> offered(FakeFunction function) const {
        std::vector<int32_t> result;
        for (const FakeCall& call : fake.calls(function))
            result.push_back(call.offered);
        return result;
    }
};

using WriteTest = TransferTest;
using ReadTest = TransferTest;

const uint8_t kPinCommand[2] = {0x05, 0xD7};

} // namespace

// Every case runs from tick 0 and from just before the counter's wrap.
std::string startName(const testing::TestParamInfo<uint32_t>& info) {
    return info.param == 0 ? "FromZero" : "AcrossTheWrap";
}
INSTANTIATE_TEST_SUITE_P(Tick, WriteTest, testing::Values(0u, kNearWrap), startName);
INSTANTIATE_TEST_SUITE_P(Tick, ReadTest, testing::Values(0u, kNearWrap), startName);

TEST_P(WriteTest, AllBytesAcceptedAtOnceIsOneAttemptWithoutPause) {
    EXPECT_TRUE(port.Write(kPinCommand, 2, kTimeout, false));
    EXPECT_THAT(fake.received(), ElementsAre(0x05, 0xD7));
    EXPECT_EQ(fake.count(kFakeWrite), 1);
    EXPECT_TRUE(clock.sleeps().empty());
}

TEST_P(WriteTest, AttemptAcceptingNothingPauses150MsAndTriesAgain) {
    fake.push(kFakeWrite, FakeJtag::step(0, 0));  // "succeeded" but took nothing
    fake.push(kFakeWrite, FakeJtag::step(-1, 0)); // failed, took nothing
    EXPECT_TRUE(port.Write(kPinCommand, 2, kTimeout, false));
    EXPECT_THAT(clock.sleeps(), ElementsAre(150u, 150u));
    EXPECT_THAT(offered(kFakeWrite), ElementsAre(2, 2, 2));
    EXPECT_THAT(fake.received(), ElementsAre(0x05, 0xD7));
}

TEST_P(WriteTest, PartialAcceptanceSendsOnlyTheRestAndNeverPauses) {
    fake.push(kFakeWrite, FakeJtag::step(0, 1));
    fake.push(kFakeWrite, FakeJtag::step(-1, 0)); // nothing of the rest this time
    EXPECT_TRUE(port.Write(kPinCommand, 2, kTimeout, false));
    EXPECT_THAT(offered(kFakeWrite), ElementsAre(2, 1, 1));
    EXPECT_EQ(fake.calls(kFakeWrite)[1].bytes[0], 0xD7);
    EXPECT_THAT(fake.received(), ElementsAre(0x05, 0xD7));
    EXPECT_THAT(clock.sleeps(), ElementsAre(150u)); // only after the attempt that took nothing
}

TEST_P(WriteTest, AttemptThatFailsHasTakenNothingWhateverCountItReports) {
    fake.push(kFakeWrite, FakeJtag::step(-1, 1));
    fake.push(kFakeWrite, FakeJtag::step(-1, 2));
    EXPECT_TRUE(port.Write(kPinCommand, 2, kTimeout, false));
    EXPECT_THAT(offered(kFakeWrite), ElementsAre(2, 2, 2)); // every byte again after each failed call
    EXPECT_THAT(clock.sleeps(), ElementsAre(150u, 150u));
}

// Libraries that report more than they were given room for, or set no out-values at all: the port
// neither writes past its space nor takes an unset count as bytes.
struct Misreport {
    const char* name;
    int32_t reportedCount;
    bool leaveOutValues;
    int32_t readResult; // bytes a 2-byte read returns
    int clearStalls;
};
class MisreportingLibraryTest : public TransferTest {};
INSTANTIATE_TEST_SUITE_P(Tick, MisreportingLibraryTest, testing::Values(0u), startName);

TEST_P(MisreportingLibraryTest, ReadClipsToTheRoomAndWriteNeedsAReportedCount) {
    for (const Misreport& library :
         {Misreport{"over-reports", 9, false, 2, 0}, Misreport{"sets nothing", kFakeTruthful, true, 0, 0}}) {
        SCOPED_TRACE(library.name);
        FakeStep read = FakeJtag::reply({0x11}, 100);
        read.reportedCount = library.reportedCount;
        read.leaveOutValues = library.leaveOutValues;
        read.stall = -1;
        fake.setFallback(kFakeRead, read);
        uint8_t buffer[3] = {0, 0, 0xEE};
        EXPECT_EQ(port.Read(buffer, 2, kTimeout, false), library.readResult);
        EXPECT_EQ(buffer[2], 0xEE); // nothing behind the room
        FakeStep write = FakeJtag::step(0);
        write.reportedCount = library.reportedCount;
        write.leaveOutValues = library.leaveOutValues;
        fake.setFallback(kFakeWrite, write);
        EXPECT_EQ(port.Write(kPinCommand, 2, kTimeout, false), !library.leaveOutValues);
        EXPECT_EQ(fake.count(kFakeClearStall), library.clearStalls); // an unset stall is no stall
        fake.clearRecord();
    }
}

TEST_P(WriteTest, NothingEverAcceptedFailsOnceMoreThanTheTimeOutHasPassed) {
    fake.setFallback(kFakeWrite, FakeJtag::step(0, 0));
    EXPECT_FALSE(port.Write(kPinCommand, 2, kTimeout, false));
    // Each attempt costs its 150 ms pause: after 20 attempts exactly 3000 ms have passed, which is not late.
    EXPECT_EQ(fake.count(kFakeWrite), 21);
    EXPECT_EQ(elapsed(), 3150u);
    EXPECT_TRUE(fake.received().empty());
}

TEST_P(WriteTest, SuccessReportedAfterTheTimeOutIsAFailure) {
    fake.push(kFakeWrite, FakeJtag::step(0, kFakeAcceptAll, -1, kTimeout + 1));
    EXPECT_FALSE(port.Write(kPinCommand, 2, kTimeout, false));
    EXPECT_EQ(fake.count(kFakeWrite), 1);
}

TEST_P(WriteTest, SuccessAtExactlyTheTimeOutCounts) {
    fake.push(kFakeWrite, FakeJtag::step(0, kFakeAcceptAll, -1, kTimeout));
    EXPECT_TRUE(port.Write(kPinCommand, 2, kTimeout, false));
}

TEST_P(WriteTest, StallValueOfZeroOrMoreIsClearedAndDoesNotFailTheWrite) {
    fake.push(kFakeWrite, FakeJtag::step(0, 0, 0));
    fake.push(kFakeWrite, FakeJtag::step(0, 1, 7));
    fake.push(kFakeWrite, FakeJtag::step(0, 1, -5));
    EXPECT_TRUE(port.Write(kPinCommand, 2, kTimeout, false));
    EXPECT_THAT(fake.order(),
                ElementsAre(kFakeWrite, kFakeClearStall, kFakeWrite, kFakeClearStall, kFakeWrite));
}

TEST_P(WriteTest, PumpFlagHandlesMessagesAfterEveryAttempt) {
    fake.push(kFakeWrite, FakeJtag::step(0, 0));
    EXPECT_TRUE(port.Write(kPinCommand, 2, kTimeout, true));
    EXPECT_EQ(pumped, 2);
    EXPECT_TRUE(port.Write(kPinCommand, 2, kTimeout, false));
    EXPECT_EQ(pumped, 2);
}

TEST_P(ReadTest, PiecesArePlacedOneBehindTheOther) {
    fake.push(kFakeRead, FakeJtag::reply({0x11, 0x22}));
    fake.push(kFakeRead, FakeJtag::step(0, 0, -1, 10));
    fake.push(kFakeRead, FakeJtag::reply({0x33}));
    fake.push(kFakeRead, FakeJtag::reply({0x44}));
    uint8_t buffer[4] = {};
    EXPECT_EQ(port.Read(buffer, 3, kTimeout, false), 3);
    EXPECT_THAT(buffer, ElementsAre(0x11, 0x22, 0x33, 0));
    EXPECT_THAT(offered(kFakeRead), ElementsAre(3, 1, 1)); // room left; stops once the count is there
}

TEST_P(ReadTest, NothingArrivingEndsAfterMoreThanTheTimeOutWithoutPausing) {
    fake.setFallback(kFakeRead, FakeJtag::step(0, 0, -1, 100));
    uint8_t buffer = 0xAB;
    EXPECT_EQ(port.Read(&buffer, 1, kTimeout, false), 0);
    EXPECT_EQ(fake.count(kFakeRead), 31);
    EXPECT_EQ(elapsed(), 3100u);
    EXPECT_TRUE(clock.sleeps().empty());
}

TEST_P(ReadTest, FailedCallsPauseAMillisecondEachAndTheTimeOutStillHolds) {
    fake.setFallback(kFakeRead, FakeJtag::step(-1, 0, -1, 99));
    uint8_t buffer = 0;
    EXPECT_EQ(port.Read(&buffer, 1, kTimeout, false), 0);
    EXPECT_EQ(fake.count(kFakeRead), 31); // 30 calls with their pause bring 3000 ms; the 31st is late
    EXPECT_EQ(clock.sleeps(), std::vector<uint32_t>(30, 1u));
}

TEST_P(ReadTest, AnAttemptThatBringsBytesNeverEndsTheReadByTimeOut) {
    fake.push(kFakeRead, FakeJtag::reply({0x01}, kTimeout + 2000));
    fake.push(kFakeRead, FakeJtag::reply({0x02}));
    uint8_t buffer[2] = {};
    EXPECT_EQ(port.Read(buffer, 2, kTimeout, false), 2);
    EXPECT_THAT(buffer, ElementsAre(0x01, 0x02));
}

TEST_P(ReadTest, FailedAttemptsBytesAreNotTakenAndPartialResultIsReturned) {
    fake.push(kFakeRead, FakeJtag::reply({0x01}));
    FakeStep failed = FakeJtag::reply({0x09}, kTimeout + 1);
    failed.result = -1;
    fake.push(kFakeRead, failed);
    uint8_t buffer[2] = {};
    EXPECT_EQ(port.Read(buffer, 2, kTimeout, false), 1);
    EXPECT_EQ(buffer[0], 0x01);
}

TEST_P(ReadTest, StallIsClearedAndPumpFlagHandlesMessages) {
    FakeStep stalled = FakeJtag::reply({0x05});
    stalled.stall = 0;
    fake.push(kFakeRead, FakeJtag::step(0, 0, 3));
    fake.push(kFakeRead, stalled);
    uint8_t buffer = 0;
    EXPECT_EQ(port.Read(&buffer, 1, kTimeout, true), 1);
    EXPECT_THAT(fake.order(), ElementsAre(kFakeRead, kFakeClearStall, kFakeRead, kFakeClearStall));
    EXPECT_EQ(pumped, 2);
}
