#include "programming/RunProgrammer.h"
#include "ProgrammerTesting.h"
#include "platform/ProgramLocation.h"
#include "tests/support/FakeClock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fstream>
#include <ostream>
#include <thread>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace fs = std::filesystem;
using namespace qbv;
using programming::ProgrammerInvocation;
using programming::RunProgrammer;

namespace {

// The test programmer installed where the vendor's would be, under a folder with a blank in its name.
class RunProgrammerTest : public testing::Test {
protected:
    RunProgrammerTest() {
        programmer = folder.path() / "Program Files" / "Quartus" / "bin" /
                     (std::string("quartus_pgm") + QBV_EXE_SUFFIX);
        test::installTestProgrammer(programmer);
    }

    ProgrammerInvocation invocation() const {
        return {programmer.string(),
                folder.directory() + "My Panel" + platform::pathSeparator() + "QBV_Control_Panel.cdf"};
    }

    // Runs the programmer, counting the passes that handled the window's messages.
    programming::ProgrammerRun run(const ProgrammerInvocation& invocation) {
        return RunProgrammer(invocation, programming::kProgrammerTimeoutMs, [this] {
            ++pumped;
            if (onPump)
                onPump();
        });
    }
    bool succeeds(const ProgrammerInvocation& invocation) {
        return run(invocation).end == programming::ProgrammerEnd::Succeeded;
    }

    test::TemporaryDirectory folder;
    fs::path programmer;
    int pumped = 0;
    std::function<void()> onPump;
};

struct RealExit {
    uint32_t exitCode;
    int signal;
    programming::ProgrammerEnd end;
    uint32_t seen; // the exit code told to the user, for UnexpectedExitCode
};

void PrintTo(const RealExit& row, std::ostream* out) {
    if (row.signal)
        *out << "signal " << row.signal;
    else
        *out << "exit code 0x" << std::hex << row.exitCode;
}

class RealExitCodes : public RunProgrammerTest, public testing::WithParamInterface<RealExit> {};

} // namespace

TEST_P(RealExitCodes, ProgrammerEndingWithThisCode) {
    const RealExit& row = GetParam();
    test::ProgrammerOrders orders(row.exitCode, 30, row.signal);
    const programming::ProgrammerRun ran = run(invocation());
    EXPECT_EQ(ran.end, row.end);
    if (row.end == programming::ProgrammerEnd::UnexpectedExitCode) {
        EXPECT_EQ(ran.exitCode, row.seen);
    }
    EXPECT_TRUE(orders.started());
    EXPECT_GE(pumped, 1);
}

using programming::ProgrammerEnd;
const RealExit kRealExits[] = {
    {0, 0, ProgrammerEnd::Succeeded, 0},       {1, 0, ProgrammerEnd::UnexpectedExitCode, 1},
    {3, 0, ProgrammerEnd::Failed, 0},
#ifdef _WIN32
    {0xC000013A, 0, ProgrammerEnd::Failed, 0}, {0xC0000005, 0, ProgrammerEnd::UnexpectedExitCode, 0xC0000005},
#else
    {0, SIGINT, ProgrammerEnd::Failed, 0},                 // read as Ctrl+C's status
    {0, SIGTERM, ProgrammerEnd::UnexpectedExitCode, 0x8F}, // 128 + 15
#endif
};
INSTANTIATE_TEST_SUITE_P(Codes, RealExitCodes, testing::ValuesIn(kRealExits));

TEST_F(RunProgrammerTest, GivesTheProgrammerItsArgumentsEnvironmentAndDirectory) {
    test::ProgrammerOrders orders(0);
    ASSERT_TRUE(succeeds(invocation()));
    // On Windows the programmer splits the command line itself: the blank in its own path, quoted, gives
    // it no stray first argument.
    const std::vector<std::string> argv = orders.recorded("argv");
    EXPECT_EQ(argv, (std::vector<std::string>{"-c", "USB-Blaster[USB-0]", invocation().chainFilePath}));
    EXPECT_EQ(fs::path(orders.recorded("cwd").at(0)), fs::current_path());
#ifdef _WIN32
    EXPECT_EQ(orders.recorded("commandline"), std::vector<std::string>{invocation().commandLine()});
#endif
}

#ifndef _WIN32
TEST_F(RunProgrammerTest, ThePanelsDescriptorsStayBehind) {
    constexpr int kOurs = 200;
    ASSERT_EQ(dup2(STDOUT_FILENO, kOurs), kOurs); // inheritable, as descriptors are unless told otherwise
    test::ProgrammerOrders orders(0);
    EXPECT_TRUE(succeeds(invocation()));
    close(kOurs);
    EXPECT_TRUE(orders.started());
    const std::vector<std::string> inherited = orders.recorded("descriptor");
    EXPECT_EQ(std::count(inherited.begin(), inherited.end(), std::to_string(kOurs)), 0);
}
#endif

TEST(ProgrammerInvocation, CommandLineQuotesTheChainFileAndTheProgrammerOnlyWhenItHoldsABlank) {
    const ProgrammerInvocation plain{"C:\\Vendor\\quartus\\bin\\quartus_pgm.exe",
                                     "C:\\Program Files\\Panel\\QBV_Control_Panel.cdf"};
    EXPECT_EQ(plain.commandLine(), "C:\\Vendor\\quartus\\bin\\quartus_pgm.exe -c USB-Blaster[USB-0] "
                                   "\"C:\\Program Files\\Panel\\QBV_Control_Panel.cdf\"");
    const ProgrammerInvocation blank{"C:\\Program Files\\quartus\\bin\\quartus_pgm.exe", "C:\\P\\x.cdf"};
    EXPECT_EQ(blank.commandLine(),
              "\"C:\\Program Files\\quartus\\bin\\quartus_pgm.exe\" -c USB-Blaster[USB-0] \"C:\\P\\x.cdf\"");
}

TEST_F(RunProgrammerTest, AProgramAtTheFirstBlankOfThePathNeverStarts) {
    // Read as a command line alone, "...\Program Files\..." would start "...\Program".
    test::installTestProgrammer(folder.path() / (std::string("Program") + QBV_EXE_SUFFIX));
    test::ProgrammerOrders orders(0);
    ASSERT_TRUE(succeeds(invocation()));
    const std::vector<std::string> started = orders.recorded("module");
    ASSERT_EQ(started.size(), 1u);
    EXPECT_TRUE(fs::equivalent(started[0], programmer)) << started[0];
}

TEST_F(RunProgrammerTest, AProgrammerThatCannotStartFailsWithoutWaiting) {
    fs::remove(programmer);
    std::ofstream(programmer) << "not a program";
    test::ProgrammerOrders orders(0);
    const programming::ProgrammerRun notRunnable = run(invocation());
    EXPECT_EQ(notRunnable.end, programming::ProgrammerEnd::NotStarted);
    EXPECT_FALSE(notRunnable.startFailure.empty()); // the system's reason
    EXPECT_EQ(run({(folder.path() / "absent").string(), "x.cdf"}).end,
              programming::ProgrammerEnd::NotStarted);
    EXPECT_EQ(pumped, 0);
}

TEST_F(RunProgrammerTest, StillActiveExitCodeWaitsForTheTimeOut) {
    // On Windows a programmer that ends with 259 cannot be told from one still running; elsewhere the
    // programmer simply runs on.
    test::FakeClock clock;
    onPump = [&] { clock.advance(20000); };
#ifdef _WIN32
    test::ProgrammerOrders orders(platform::kStillActive, 0);
#else
    test::ProgrammerOrders orders(0, 1000);
#endif
    EXPECT_EQ(run(invocation()).end, programming::ProgrammerEnd::TimedOut);
    EXPECT_EQ(pumped, 5); // 20000, 40000, 60000 wait on; 80000 is late and ends it; then it is gone
}

// A programmer left running would hold the cable under the next connection, and a second one beside it
// would program the same controller.
TEST_F(RunProgrammerTest, AProgrammerOutlivingTheWaitIsEndedAndNotLeftAZombie) {
    test::ProgrammerOrders orders(0, 600);
    uint32_t id = 0;
    {
        platform::ChildProcess process;
        ASSERT_TRUE(process.start(invocation().launch()));
        id = process.processId();
        EXPECT_NE(id, 0u);
        EXPECT_EQ(programming::WaitForProgrammer(process, 50).end, programming::ProgrammerEnd::TimedOut);
    }
    EXPECT_FALSE(orders.waitForEnd(1000)); // it never came to its own end
#ifndef _WIN32
    // Reaped once it ended: no process of that id remains, or a new one took the id.
    const fs::path status = "/proc/" + std::to_string(id) + "/stat";
    bool zombie = true;
    for (int i = 0; i < 200 && zombie; ++i) {
        std::string line;
        std::getline(std::ifstream(status), line);
        zombie = line.find(") Z ") != std::string::npos;
        if (zombie)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_FALSE(zombie);
#endif
}
