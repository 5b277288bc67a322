// ping, led and pin against the fake JTAG library, in process: the bytes on the wire, the exit codes of
// every failure, and the JSON results.

#include "CliTesting.h"
#include "common/ExitCode.h"
#include "common/Texts.h"
#include "platform/JtagApi.h"
#include "tests/support/BoardBytes.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeJtag.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace qbv;
using namespace qbv::cli;
using test::FakeJtag;
using testing::ElementsAre;
using testing::HasSubstr;

namespace {

// What every board command sends first: ping, then read keys, the panel's check that the board answers.
const std::vector<uint8_t> kHandshake = {0x00, 0x06};

std::vector<uint8_t> afterHandshake(std::vector<uint8_t> bytes) {
    bytes.insert(bytes.begin(), kHandshake.begin(), kHandshake.end());
    return bytes;
}

// A write the library never takes: the port gives up after its 3000 ms, on the fake clock.
const FakeStep kRefusedWrite = FakeJtag::step(1, 0);
// A read that never brings anything, each attempt taking 100 ms of fake time.
const FakeStep kSilentRead = FakeJtag::step(0, 0, -1, 100);

struct BoardCommandTest : testing::Test {
    FakeJtag fake;
    test::FakeLibraryDirectory directory;
    test::FakeClock clock;

    BoardCommandTest() {
        fake.delayWith(clock);
        fake.answerKeyReads(0x00);
    }

    // The handshake goes through; the library refuses every write after it.
    void refuseWritesAfterHandshake() {
        fake.push(kFakeWrite, FakeJtag::step(0));
        fake.push(kFakeWrite, FakeJtag::step(0));
        fake.setFallback(kFakeWrite, kRefusedWrite);
    }

    bool linkClosedAndLibraryFreed() const {
        const std::vector<int32_t> order = fake.order();
        return fake.count(kFakeClose) == 1 && !order.empty() && order.back() == kFakeUnload;
    }
};

struct CommandBytesTest : BoardCommandTest, testing::WithParamInterface<test::CommandBytes> {};

// The qbv command line that sends an example of the shared table.
std::vector<std::string> commandLineFor(const test::CommandBytes& example) {
    switch (example.command) {
    case board::kSetLeds:
        return {"led", std::to_string(example.data)};
    case board::kSetGpioPin:
        return {"pin", std::to_string(example.data & 0x7F), example.data & 0x80 ? "on" : "off"};
    default:
        return {"ping"};
    }
}

} // namespace

TEST_P(CommandBytesTest, SendsTheTablesBytesAfterTheHandshake) {
    const test::CommandBytes& example = GetParam();
    const test::CliRun run = test::runQbv(commandLineFor(example));
    EXPECT_EQ(run.exitCode, kExitSuccess) << run.err;
    const std::vector<uint8_t> expected =
        example.command == board::kPing ? kHandshake : afterHandshake(example.bytes);
    EXPECT_EQ(fake.received(), expected);
    EXPECT_TRUE(linkClosedAndLibraryFreed());
}

INSTANTIATE_TEST_SUITE_P(Table, CommandBytesTest, testing::ValuesIn(test::kCommandBytes),
                         [](const auto& info) { return test::bytesName(info.param); });

TEST_F(BoardCommandTest, LedOnListAndSeveralPinsInOneCall) {
    EXPECT_EQ(test::runQbv({"led", "--on", "8,1"}).exitCode, kExitSuccess);
    EXPECT_EQ(fake.received(), afterHandshake({0x01, 0x81}));
    fake.clearRecord();
    const test::CliRun run = test::runQbv({"pin", "87", "on", "0", "off"});
    EXPECT_EQ(run.exitCode, kExitSuccess);
    EXPECT_EQ(fake.received(), afterHandshake({0x05, 0xD7, 0x05, 0x00}));
    EXPECT_THAT(test::lines(run.out),
                ElementsAre("Update GPIO success: pin 87 on", "Update GPIO success: pin 0 off"));
}

TEST_F(BoardCommandTest, PingReportsThePanelsSuccess) {
    const test::CliRun run = test::runQbv({"ping"});
    EXPECT_EQ(run.exitCode, kExitSuccess);
    EXPECT_EQ(run.out, "Connect QB-vela success\n");
    EXPECT_EQ(run.err, "");
}

TEST_F(BoardCommandTest, UsageErrorsSendNothingAndLoadNothing) {
    for (const std::vector<std::string>& words :
         std::vector<std::vector<std::string>>{{"led", "0x100"},
                                               {"led", "--on", "1,9"},
                                               {"led", "--on", "0"},
                                               {"pin", "1", "on", "88", "on"},
                                               {"pin", "1", "maybe"},
                                               {"keys", "--follow"},
                                               {"flash"},
                                               {"ping", "--fast"},
                                               {"pin", "3"}}) {
        const test::CliRun run = test::runQbv(words);
        EXPECT_EQ(run.exitCode, kExitUsage) << words[0];
        EXPECT_EQ(run.out, "");
        EXPECT_THAT(run.err, HasSubstr("qbv: "));
        EXPECT_THAT(run.err, HasSubstr("--help"));
    }
    EXPECT_THAT(test::runQbv({"led", "--on", "1,9"}).err, HasSubstr("'9'"));
    EXPECT_TRUE(fake.calls().empty()); // the library was not even loaded
}

TEST_F(BoardCommandTest, MissingLibrary) {
    directory.removeLibrary();
    const test::CliRun run = test::runQbv({"ping"});
    EXPECT_EQ(run.exitCode, kExitLibrary);
    EXPECT_EQ(run.err,
              "Error: fail to load dll - " + directory.libraryPath() + "\nqbv: Fail to load JTAG driver\n");
    EXPECT_EQ(run.out, "");
}

TEST_F(BoardCommandTest, LinkThatDoesNotOpen) {
    fake.fail(kFakeInit);
    const test::CliRun run = test::runQbv({"led", "1"});
    EXPECT_EQ(run.exitCode, kExitLinkNotOpened);
    EXPECT_THAT(run.err, HasSubstr("Fail to connect QB-vela, please check:\n1. Board is plugged"));
    EXPECT_TRUE(fake.received().empty());
    EXPECT_EQ(fake.calls().back().function, kFakeUnload);
}

TEST_F(BoardCommandTest, NoResponseWhenPingOrKeyReadFails) {
    fake.setFallback(kFakeWrite, kRefusedWrite);
    EXPECT_EQ(test::runQbv({"ping"}).exitCode, kExitNoResponse);
    EXPECT_EQ(fake.count(kFakeRead), 0); // no key read after a failed ping

    fake.clearRecord();
    fake.setFallback(kFakeWrite, FakeJtag::step(0));
    fake.setFallback(kFakeRead, kSilentRead);
    const test::CliRun run = test::runQbv({"led", "0xFF"});
    EXPECT_EQ(run.exitCode, kExitNoResponse);
    EXPECT_EQ(run.err, "qbv: QB-vela no response (Please try to download Max II code)\n");
    EXPECT_EQ(fake.received(), kHandshake); // the LEDs are not touched on a board that does not answer
    EXPECT_TRUE(linkClosedAndLibraryFreed());
}

TEST_F(BoardCommandTest, LedWriteThatFails) {
    refuseWritesAfterHandshake();
    const test::CliRun run = test::runQbv({"led", "0x81"});
    EXPECT_EQ(run.exitCode, kExitCommandFailed);
    EXPECT_EQ(run.err, "qbv: Update LED fail\n");
    EXPECT_TRUE(linkClosedAndLibraryFreed());
}

TEST_F(BoardCommandTest, PinWriteThatFailsStopsTheRest) {
    fake.push(kFakeWrite, FakeJtag::step(0));
    fake.push(kFakeWrite, FakeJtag::step(0));
    fake.push(kFakeWrite, FakeJtag::step(0)); // pin 1
    fake.setFallback(kFakeWrite, kRefusedWrite);
    const test::CliRun run = test::runQbv({"pin", "1", "on", "2", "on", "3", "on", "--json"});
    EXPECT_EQ(run.exitCode, kExitCommandFailed);
    EXPECT_EQ(fake.received(), afterHandshake({0x05, 0x81}));
    nlohmann::json json;
    ASSERT_TRUE(test::parseJson(run.out, json)) << run.out;
    EXPECT_EQ(json["error"].get<std::string>(), text::kUpdateGpioFail);
    EXPECT_EQ(json["exit"].get<int>(), kExitCommandFailed);
    EXPECT_EQ(json["failed"]["pin"].get<int>(), 2);
    ASSERT_EQ(json["pins"].size(), 1u);
    EXPECT_EQ(json["pins"][0]["pin"].get<int>(), 1);
}

TEST_F(BoardCommandTest, JsonResultsCarryTheirFields) {
    nlohmann::json led;
    const test::CliRun ledRun = test::runQbv({"--json", "led", "--on", "8,1"});
    ASSERT_TRUE(test::parseJson(ledRun.out, led)) << ledRun.out;
    EXPECT_EQ(led["command"].get<std::string>(), "led");
    EXPECT_TRUE(led["ok"].get<bool>());
    EXPECT_EQ(led["mask"].get<int>(), 0x81);
    EXPECT_EQ(led["on"].get<std::vector<std::string>>(), (std::vector<std::string>{"LED8", "LED1"}));

    nlohmann::json pins;
    ASSERT_TRUE(test::parseJson(test::runQbv({"pin", "87", "on", "0", "off", "--json"}).out, pins));
    ASSERT_EQ(pins["pins"].size(), 2u);
    EXPECT_EQ(pins["pins"][0]["pin"].get<int>(), 87);
    EXPECT_TRUE(pins["pins"][0]["on"].get<bool>());
    EXPECT_FALSE(pins["pins"][1]["on"].get<bool>());

    fake.answerKeyReads(0x09);
    nlohmann::json ping;
    ASSERT_TRUE(test::parseJson(test::runQbv({"ping", "--json"}).out, ping));
    EXPECT_TRUE(ping["ok"].get<bool>());
    EXPECT_EQ(ping["keys"].get<int>(), 9);
}

TEST_F(BoardCommandTest, JsonFailuresCarryTheExitCodeAndTheBoxes) {
    test::FakeLibraryDirectory incomplete(jtag::kJtagAtlanticTransfer);
    nlohmann::json json;
    const test::CliRun run = test::runQbv({"ping", "--json"});
    EXPECT_EQ(run.exitCode, kExitLibrary);
    ASSERT_TRUE(test::parseJson(run.out, json)) << run.out;
    EXPECT_FALSE(json["ok"].get<bool>());
    EXPECT_EQ(json["exit"].get<int>(), kExitLibrary);
    EXPECT_EQ(json["error"].get<std::string>(), text::kFailLoadDriver);
    EXPECT_EQ(json["messages"].get<std::vector<std::string>>(),
              (std::vector<std::string>{text::kFailFindApi}));
    EXPECT_EQ(json["library"].get<std::string>(), incomplete.libraryPath());

    nlohmann::json usage;
    ASSERT_TRUE(test::parseJson(test::runQbv({"led", "0x1FF", "--json"}).out, usage));
    EXPECT_EQ(usage["exit"].get<int>(), kExitUsage);
    EXPECT_THAT(usage["error"].get<std::string>(), HasSubstr("'0x1FF'"));
}
