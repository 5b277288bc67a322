// The stand-in's test settings: ending with a given code, hanging first, and stretching the progress.

#include "StandinTesting.h"
#include "common/Numbers.h"

#include "platform/ChildProcess.h"
#include "platform/Environment.h"
#include "sim/standin/ProgrammerExitCodes.h"
#include "sim/standin/ProgrammerSettings.h"

#include <gmock/gmock.h>

using namespace qbv;
using qbv::test::StandinRun;
using qbv::test::StandinTest;
using testing::HasSubstr;

TEST_F(StandinTest, ExitCodeSettingEndsWithThatCodeAndProgramsNothing) {
    for (const char* code : {"0", "1", "3", "0x7F", "255"}) {
        SCOPED_TRACE(code);
        platform::setEnvironmentVariable(standin::kExitCodeVariable, code);
        uint32_t expected = 0;
        ASSERT_TRUE(qbv::parseNumber(code, UINT32_MAX, expected));
        EXPECT_EQ(test::runStandin(panelArguments()), expected);
    }
    // An interrupted programmer's status is a signal, not an exit code.
    platform::setEnvironmentVariable(standin::kExitCodeVariable, "0xC000013A");
    EXPECT_EQ(test::runStandin(panelArguments()), platform::kControlCExit);
    EXPECT_FALSE(programmed());
}

TEST_F(StandinTest, MalformedSettingsAreUsageErrors) {
    const std::vector<std::pair<const char*, const char*>> settings = {
        {standin::kExitCodeVariable, "259"}, // a process cannot report it: it would read as 3
        {standin::kExitCodeVariable, "-1"},          {standin::kExitCodeVariable, "one"},
        {standin::kExitCodeVariable, "0x"},          {standin::kHangVariable, "1.5"},
        {standin::kDurationVariable, "99999999999"}, {standin::kDurationVariable, "+5"},
    };
    for (const auto& [name, value] : settings) {
        SCOPED_TRACE(std::string(name) + "=" + value);
        platform::setEnvironmentVariable(name, value);
        std::string output;
        EXPECT_EQ(test::runStandin(panelArguments(), &output), standin::kExitUsage);
        EXPECT_THAT(output, HasSubstr(name));
        platform::setEnvironmentVariable(name, "");
    }
    EXPECT_FALSE(programmed());
}

TEST_F(StandinTest, HangSettingDelaysEverythingAndDurationStretchesTheProgress) {
    platform::setEnvironmentVariable(standin::kHangVariable, "800");
    platform::setEnvironmentVariable(standin::kExitCodeVariable, "3");
    StandinRun hung;
    ASSERT_TRUE(hung.start(panelArguments()));
    ASSERT_TRUE(hung.wait());
    EXPECT_EQ(hung.exitCode(), 3u);
    EXPECT_GE(hung.elapsed().count(), 800);

    platform::setEnvironmentVariable(standin::kHangVariable, "");
    platform::setEnvironmentVariable(standin::kExitCodeVariable, "");
    platform::setEnvironmentVariable(standin::kDurationVariable, "1200");
    StandinRun stretched;
    ASSERT_TRUE(stretched.start(panelArguments()));
    ASSERT_TRUE(stretched.wait());
    EXPECT_EQ(stretched.exitCode(), 0u);
    EXPECT_GE(stretched.elapsed().count(), 1200);
    EXPECT_TRUE(programmed());
}
