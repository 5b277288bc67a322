// The stand-in programming the virtual board: success with its progress, the chain file by its bytes,
// the cable's spellings, and the board's side failing.

#include "RefusingBoard.h"
#include "StandinTesting.h"

#include "platform/ChildProcess.h"
#include "platform/Environment.h"
#include "sim/core/WireProtocol.h"
#include "sim/standin/ProgrammerExitCodes.h"
#include "sim/standin/ProgrammerSettings.h"

#include <gmock/gmock.h>

#include "tests/programming/ProgrammerTesting.h"

#include <filesystem>
#include <thread>

using namespace qbv;
using qbv::test::StandinRun;
using qbv::test::StandinTest;
using testing::HasSubstr;
using testing::Not;

namespace {

// Positions of the texts in the output, in the order given; npos for a missing one.
std::vector<size_t> positions(const std::string& output, const std::vector<std::string>& texts) {
    std::vector<size_t> found;
    for (const std::string& text : texts)
        found.push_back(output.find(text));
    return found;
}

} // namespace

TEST_F(StandinTest, ProgramsABlankBoardShowingProgressForAboutTwoAndAHalfSeconds) {
    platform::setEnvironmentVariable(standin::kDurationVariable, ""); // the default time
    StandinRun run;
    ASSERT_TRUE(run.start(panelArguments()));
    ASSERT_TRUE(run.wait());
    EXPECT_EQ(run.exitCode(), 0u) << run.output();
    EXPECT_TRUE(programmed());
    const std::vector<size_t> at = positions(
        run.output(), {"0%", "25%", "50%", "75%", "100%", "Info: Programmer was successful. 0 errors"});
    EXPECT_TRUE(std::is_sorted(at.begin(), at.end())) << run.output();
    EXPECT_THAT(at, Not(testing::Contains(std::string::npos))) << run.output();
    EXPECT_THAT(run.output(), Not(HasSubstr("Error")));
    EXPECT_GE(run.elapsed().count(), 2400);
}

TEST_F(StandinTest, TakesAChainFileWrittenByHandToTheByteLayoutInADirectoryWithBlanks) {
    const std::filesystem::path directory = folder.path() / "Program Files" / "Panel";
    std::filesystem::create_directories(directory);
    std::filesystem::copy_file(test::builtDesignFile(), directory / "QBV_Control_Panel.pof");
    test::writeFile(chainFile(), test::handWrittenChainFile(directory.string() + "/"));
    std::string output;
    EXPECT_EQ(test::runStandin(panelArguments(), &output), 0u) << output;
    EXPECT_TRUE(programmed());
    EXPECT_THAT(output, HasSubstr("Program Files/Panel/QBV_Control_Panel.pof"));
}

TEST_F(StandinTest, TakesTheCableSpellingsOfTheVendorsTool) {
    const std::string chain = chainFile();
    const std::vector<std::vector<std::string>> commandLines = {
        {"-c", "USB-Blaster [USB-0]", chain},  {"-c", "USB-Blaster", chain},
        {"--cable=USB-Blaster[USB-0]", chain}, {"--cable", "USB-Blaster[USB-0]", chain},
        {chain, "-c", "USB-Blaster[USB-0]"},
    };
    for (const std::vector<std::string>& arguments : commandLines) {
        SCOPED_TRACE(arguments[0] + " " + arguments[1]);
        eraseBoard();
        std::string output;
        EXPECT_EQ(test::runStandin(arguments, &output), 0u) << output;
        EXPECT_TRUE(programmed());
    }
}

TEST_F(StandinTest, OutputThatNobodyReadsDoesNotCutProgrammingShort) {
    StandinRun run;
    ASSERT_TRUE(run.start(panelArguments(), StandinRun::Output::NobodyReads));
    ASSERT_TRUE(run.wait());
    EXPECT_EQ(run.exitCode(), 0u);
    EXPECT_TRUE(programmed());
}

TEST_F(StandinTest, NoBoardOnTheCableEndsWithTheProgrammersOwnFailure) {
    ASSERT_TRUE(board.control().unplug());
    std::string output;
    EXPECT_EQ(test::runStandin(panelArguments(), &output), standin::kExitProgrammingFailed);
    EXPECT_THAT(output, HasSubstr("Error: Unable to scan device chain"));
    ASSERT_TRUE(board.control().plug());
    EXPECT_FALSE(programmed());

    platform::setEnvironmentVariable(sim::wire::kBoardNameVariable, test::BoardProcess::uniqueName());
    EXPECT_EQ(test::runStandin(panelArguments(), &output), standin::kExitProgrammingFailed);
    EXPECT_THAT(output, HasSubstr("Error: No JTAG hardware available"));
}

TEST_F(StandinTest, CablePulledWhileProgrammingLeavesTheBoardBlank) {
    platform::setEnvironmentVariable(standin::kDurationVariable, "4000");
    StandinRun run;
    ASSERT_TRUE(run.start(panelArguments()));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_TRUE(board.control().unplug());
    ASSERT_TRUE(run.wait());
    EXPECT_EQ(run.exitCode(), standin::kExitProgrammingFailed);
    EXPECT_THAT(run.output(), Not(HasSubstr("100%")));
    ASSERT_TRUE(board.control().plug());
    EXPECT_FALSE(programmed());
}

TEST_F(StandinTest, ABoardThatRefusesAnIntactDesignEndsWithItsOwnCode) {
    test::RefusingBoard refusing;
    ASSERT_TRUE(refusing.listening());
    platform::setEnvironmentVariable(sim::wire::kBoardNameVariable, refusing.name());
    std::string output;
    EXPECT_EQ(test::runStandin(panelArguments(), &output), standin::kExitProgrammingRefused);
    EXPECT_EQ(refusing.designsRefused(), 1);
    EXPECT_THAT(output, HasSubstr("the controller refused the design"));
}
