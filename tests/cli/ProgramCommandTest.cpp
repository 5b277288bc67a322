// qbv program with the test programmer standing in for the vendor's: the job's outcome, its exit codes,
// the time-out, Ctrl+C, and the check of the board afterwards (on the fake JTAG library).

#include "CliTesting.h"
#include "common/ExitCode.h"
#include "common/Texts.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "programming/ProgrammingJob.h"
#include "programming/QuartusLocation.h"
#include "tests/programming/ProgrammerTesting.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeJtag.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

using namespace qbv;
using namespace qbv::cli;
using test::FakeJtag;
using testing::ElementsAre;
using testing::EndsWith;
using testing::HasSubstr;
using testing::Not;

namespace {

// The board's program directory (the fake library and the design file) and a tool chain holding the
// test programmer.
struct ProgramCommandTest : testing::Test {
    FakeJtag fake;
    test::FakeLibraryDirectory directory;
    test::TemporaryDirectory install;

    ProgramCommandTest() {
        fake.answerKeyReads(0x00);
        std::ofstream(programming::designFilePath(test::programFolder())) << "design";
        test::installTestProgrammer(programming::programmerPath(install.path().string()));
    }

    // The words without the progress lines.
    static std::vector<std::string> statuses(const std::string& out) {
        std::vector<std::string> result;
        for (const std::string& line : test::lines(out))
            if (line.find('%') == std::string::npos)
                result.push_back(line);
        return result;
    }
};

} // namespace

TEST_F(ProgramCommandTest, ProgramsThenChecksTheBoard) {
    test::RegisteredInstall registered(install.path().string());
    test::ProgrammerOrders orders(0);
    const test::CliRun run = test::runQbv({"program"});
    EXPECT_EQ(run.exitCode, kExitSuccess) << run.err;
    EXPECT_THAT(statuses(run.out),
                ElementsAre(text::kDownloadStart, text::kDownloadRunning, text::kDownloadSuccess,
                            "Connecting QB-vela ...", "Connect QB-vela success"));
    EXPECT_THAT(run.out, HasSubstr("Download Max II Code... 0%\n")); // plain progress lines: not a terminal
    EXPECT_TRUE(orders.started());
    EXPECT_EQ(orders.recorded("argv"),
              (std::vector<std::string>{"-c", "USB-Blaster[USB-0]",
                                        programming::chainFilePath(test::programFolder())}));
    EXPECT_EQ(fake.received(), (std::vector<uint8_t>{0x00, 0x06}));
}

TEST_F(ProgramCommandTest, JsonIsOneObjectAndTheProgressGoesToStandardError) {
    test::RegisteredInstall registered(install.path().string());
    test::ProgrammerOrders orders(0);
    const test::CliRun run = test::runQbv({"program", "--json"});
    nlohmann::json json;
    ASSERT_TRUE(test::parseJson(run.out, json)) << run.out;
    EXPECT_TRUE(json["ok"].get<bool>());
    EXPECT_TRUE(json["programmed"].get<bool>());
    EXPECT_THAT(run.err, HasSubstr("0%"));
}

TEST_F(ProgramCommandTest, FailedChecksShowTheirBoxAndRunNothing) {
    test::forgetInstall();
    test::ProgrammerOrders orders(0);
    const test::CliRun run = test::runQbv({"program"});
    EXPECT_EQ(run.exitCode, kExitProgrammingFailed);
    EXPECT_THAT(run.err, testing::StartsWith(std::string("Error: ") + text::kNoQuartus +
                                             "\nqbv: No tool chain was found"));
    EXPECT_THAT(run.err, testing::EndsWith(std::string("\nqbv: ") + text::kDownloadFail + "\n"));
    EXPECT_FALSE(orders.started());
    EXPECT_FALSE(platform::fileExists(programming::chainFilePath(test::programFolder())));
    EXPECT_TRUE(fake.calls().empty()); // no board check after a failure

    std::filesystem::remove(programming::designFilePath(test::programFolder()));
    test::RegisteredInstall registered(install.path().string());
    EXPECT_THAT(test::runQbv({"program"}).err, HasSubstr(programming::designFilePath(test::programFolder())));

    test::RegisteredInstall relative("relq"); // the box's words, then why, then qbv's message
    const std::string said = test::runQbv({"program"}).err;
    EXPECT_THAT(said, HasSubstr(std::string(text::kNoQuartus) + "\nqbv: The folder relq"));
    EXPECT_LT(said.find("The folder relq"), said.find(text::kDownloadFail));
}

TEST_F(ProgramCommandTest, AToolChainBesideQbvComesBeforeTheRecordedOne) {
    test::TemporaryDirectory empty;
    test::RegisteredInstall registered(empty.path().string());
    test::installTestProgrammer(programming::programmerPath(directory.directory() + "quartus"));
    test::ProgrammerOrders orders(0);
    EXPECT_EQ(test::runQbv({"program"}).exitCode, kExitSuccess);
    EXPECT_TRUE(orders.started());
}

// A programmer file that the system cannot start: qbv names it and gives the system's reason.
TEST_F(ProgramCommandTest, ProgrammerThatCannotStartIsNamedWithTheSystemsReason) {
    test::RegisteredInstall registered(install.path().string());
    const std::string programmer = programming::programmerPath(install.path().string());
    struct Case {
        const char* content;
        std::filesystem::perms permissions;
    };
    const auto runnable = std::filesystem::perms::owner_all;
    for (const Case& broken :
         {Case{"#!/bin/sh\nexit 0\n", std::filesystem::perms::owner_read}, // not runnable
          Case{"exit 0\n", runnable},                                      // no #! line
          Case{"", runnable}}) {
        std::error_code ignored; // writable again first: Windows removes no read-only file
        std::filesystem::permissions(programmer, runnable, ignored);
        std::filesystem::remove(programmer);
        std::ofstream(programmer) << broken.content;
        std::filesystem::permissions(programmer, broken.permissions);
        const test::CliRun run = test::runQbv({"program"});
        EXPECT_EQ(run.exitCode, kExitProgrammingFailed);
        EXPECT_THAT(run.err,
                    HasSubstr(std::string(text::kDownloadFail) + ": cannot start " + programmer + ": "));
        EXPECT_THAT(run.err, Not(EndsWith(": \n"))); // a reason follows
    }
}

TEST_F(ProgramCommandTest, ProgrammerFailures) {
    test::RegisteredInstall registered(install.path().string());
    {
        test::ProgrammerOrders orders(3);
        const test::CliRun run = test::runQbv({"program", "--json"});
        EXPECT_EQ(run.exitCode, kExitProgrammingFailed);
        EXPECT_THAT(run.err, EndsWith(std::string("\nqbv: ") + text::kDownloadFail + "\n"));
        EXPECT_THAT(run.err, Not(HasSubstr("Information"))); // the programmer's own failure: no box
        nlohmann::json json;
        ASSERT_TRUE(test::parseJson(run.out, json)) << run.out;
        EXPECT_FALSE(json["timedOut"].get<bool>());
    }
    test::ProgrammerOrders orders(1);
    const test::CliRun run = test::runQbv({"program"});
    EXPECT_EQ(run.exitCode, kExitProgrammingFailed);
    EXPECT_THAT(run.err, HasSubstr("Information: ExitCode:1h\n"));
    EXPECT_TRUE(fake.calls().empty());
}

TEST_F(ProgramCommandTest, TimeOutHasItsOwnExitCodeAndEndsTheProgrammer) {
    test::RegisteredInstall registered(install.path().string());
    test::ProgrammerOrders orders(0, 3000);
    const uint32_t start = platform::tickCount();
    const test::CliRun run = test::runQbv({"program", "--timeout-ms", "300", "--json"});
    EXPECT_LT(platform::elapsedSince(start), 2500u);
    EXPECT_EQ(run.exitCode, kExitTimeout);
    nlohmann::json json;
    ASSERT_TRUE(test::parseJson(run.out, json)) << run.out;
    EXPECT_TRUE(json["timedOut"].get<bool>());
    EXPECT_THAT(json["error"].get<std::string>(), HasSubstr("300 ms and was ended"));
    EXPECT_FALSE(orders.waitForEnd(1000)); // it never came to its own end
}

TEST_F(ProgramCommandTest, InterruptLeavesAtOnceAndTheProgrammerFinishes) {
    test::RegisteredInstall registered(install.path().string());
    test::ProgrammerOrders orders(0, 500);
    const test::CliRun run = test::runQbv({"program"}, {test::interruptOnPoll(1)});
    EXPECT_THAT(run.leftWith, ElementsAre(kExitInterrupted));
    // The stand-in for leaving returned, so the run waited for the programmer; it reports no more.
    EXPECT_EQ(run.exitCode, kExitInterrupted);
    EXPECT_THAT(run.err, HasSubstr("interrupted"));
    EXPECT_THAT(statuses(run.out), ElementsAre(text::kDownloadStart, text::kDownloadRunning));
    EXPECT_FALSE(orders.recorded("end").empty());
    EXPECT_TRUE(fake.calls().empty());
}

TEST_F(ProgramCommandTest, ProgrammedButTheBoardDoesNotAnswer) {
    test::RegisteredInstall registered(install.path().string());
    test::ProgrammerOrders orders(0);
    test::FakeClock clock; // the programmer's wait sees no time pass; the key read's 3000 ms pass at once
    fake.delayWith(clock);
    fake.setFallback(kFakeRead, FakeJtag::step(0, 0, -1, 100));
    const test::CliRun run = test::runQbv({"program", "--json"});
    EXPECT_EQ(run.exitCode, kExitNoResponse);
    nlohmann::json json;
    ASSERT_TRUE(test::parseJson(run.out, json)) << run.out;
    EXPECT_TRUE(json["programmed"].get<bool>());
    EXPECT_EQ(json["exit"].get<int>(), kExitNoResponse);
}
