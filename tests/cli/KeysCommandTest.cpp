// keys and keys --watch against the fake JTAG library: the state read once, only changes while watching,
// and a clean end on Ctrl+C.

#include "CliTesting.h"
#include "common/ExitCode.h"
#include "common/Texts.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeJtag.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace qbv;
using namespace qbv::cli;
using test::FakeJtag;
using testing::ElementsAre;
using testing::EndsWith;

namespace {

struct KeysCommandTest : testing::Test {
    FakeJtag fake;
    test::FakeLibraryDirectory directory;
    test::FakeClock clock;

    KeysCommandTest() { fake.delayWith(clock); }

    // The board's key state on successive reads, the last one repeated from then on.
    void keysRead(std::initializer_list<uint8_t> states) {
        for (uint8_t state : states)
            fake.push(kFakeRead, FakeJtag::reply({state}));
        fake.answerKeyReads(*(states.end() - 1));
    }

    // The part of each line after its timestamp.
    static std::vector<std::string> withoutTime(const std::string& out) {
        std::vector<std::string> result;
        for (const std::string& line : test::lines(out))
            result.push_back(line.substr(line.find(' ') + 1));
        return result;
    }
};

} // namespace

TEST_F(KeysCommandTest, ReadOnceInWordsAndInJson) {
    keysRead({0x05});
    const test::CliRun run = test::runQbv({"keys"});
    EXPECT_EQ(run.exitCode, kExitSuccess);
    EXPECT_EQ(run.out, "keys 0x05: BUTTON1 BUTTON3 pressed\n");
    EXPECT_EQ(fake.received(), (std::vector<uint8_t>{0x00, 0x06})); // one read: the check's

    keysRead({0xF8}); // bits 4-7 mean nothing
    nlohmann::json json;
    ASSERT_TRUE(test::parseJson(test::runQbv({"keys", "--json"}).out, json));
    EXPECT_EQ(json["command"].get<std::string>(), "keys");
    EXPECT_EQ(json["state"].get<int>(), 0xF8);
    EXPECT_EQ(json["pressed"].get<std::vector<std::string>>(), (std::vector<std::string>{"BUTTON4"}));

    keysRead({0x00});
    EXPECT_EQ(test::runQbv({"keys"}).out, "keys 0x00: no key pressed\n");
}

TEST_F(KeysCommandTest, WatchPrintsTheStartAndOnlyChanges) {
    // At the check, then on each poll: unchanged, pressed, unchanged, a meaningless bit, released.
    keysRead({0x00, 0x00, 0x02, 0x02, 0x12, 0x00});
    const test::CliRun run = test::runQbv({"keys", "--watch"}, {test::interruptOnPoll(7)});
    EXPECT_EQ(run.exitCode, kExitSuccess) << run.err;
    EXPECT_THAT(withoutTime(run.out), ElementsAre("keys 0x00: no key pressed", "keys 0x02: BUTTON2 pressed",
                                                  "keys 0x00: no key pressed"));
    EXPECT_EQ(fake.count(kFakeRead), 7); // the check and six polls, then the interrupt
    EXPECT_EQ(fake.count(kFakeClose), 1);
    EXPECT_EQ(fake.order().back(), kFakeUnload);
}

TEST_F(KeysCommandTest, WatchPollsTwentyMillisecondsApart) {
    keysRead({0x00});
    test::runQbv({"keys", "--watch"}, {test::interruptOnPoll(4)});
    EXPECT_THAT(clock.sleeps(), ElementsAre(20u, 20u, 20u, 20u));
}

TEST_F(KeysCommandTest, WatchInJsonIsOneObjectPerChange) {
    keysRead({0x01, 0x03});
    const test::CliRun run = test::runQbv({"keys", "--watch", "--json"}, {test::interruptOnPoll(3)});
    const std::vector<std::string> lines = test::lines(run.out);
    ASSERT_EQ(lines.size(), 2u) << run.out;
    nlohmann::json first;
    nlohmann::json second;
    ASSERT_TRUE(test::parseJson(lines[0], first)) << lines[0];
    ASSERT_TRUE(test::parseJson(lines[1], second)) << lines[1];
    EXPECT_EQ(first["state"].get<int>(), 1);
    EXPECT_EQ(second["pressed"].get<std::vector<std::string>>(),
              (std::vector<std::string>{"BUTTON1", "BUTTON2"}));
    EXPECT_EQ(second["elapsedMs"].get<int>(), 20); // one poll interval after the start, on the fake clock
    EXPECT_THAT(second["time"].get<std::string>(), EndsWith("Z"));
}

TEST_F(KeysCommandTest, WatchEndsWithLostConnectionWhenAReadFails) {
    fake.push(kFakeRead, FakeJtag::reply({0x00}));
    fake.setFallback(kFakeRead, FakeJtag::step(0, 0, -1, 100));
    const test::CliRun run = test::runQbv({"keys", "--watch"}, {test::interruptOnPoll(1000)});
    EXPECT_EQ(run.exitCode, kExitCommandFailed);
    EXPECT_EQ(run.err, std::string("qbv: ") + text::kLostConnection + "\n");
    EXPECT_EQ(fake.count(kFakeClose), 1);
}
