// Ctrl+C as the platform layer catches it. POSIX only: Windows keeps the programmer out of reach with a
// console of its own, which a test here cannot press Ctrl+C in.

#ifndef _WIN32

#include "platform/Interrupt.h"
#include "platform/ChildProcess.h"
#include "tests/programming/ProgrammerTesting.h"

#include <gtest/gtest.h>

#include <csignal>
#include <unistd.h>

using namespace qbv;

namespace {

struct InterruptTest : testing::Test {
    void SetUp() override {
        platform::catchInterrupt();
        platform::clearInterrupt();
    }
    void TearDown() override {
        platform::clearInterrupt();
        std::signal(SIGINT, SIG_DFL);
    }
};

} // namespace

TEST_F(InterruptTest, CaughtInsteadOfEndingTheProgram) {
    EXPECT_FALSE(platform::interruptRequested());
    std::raise(SIGINT);
    EXPECT_TRUE(platform::interruptRequested());
    platform::clearInterrupt();
    EXPECT_FALSE(platform::interruptRequested());
}

TEST_F(InterruptTest, AProgrammerIsOutOfReachOfTheTerminalsCtrlC) {
    test::TemporaryDirectory folder;
    const std::filesystem::path programmer = folder.path() / "quartus_pgm";
    test::installTestProgrammer(programmer);
    test::ProgrammerOrders orders(0, 400);
    // This test's own group first, so that its Ctrl+C reaches no one but itself (not the test runner).
    ASSERT_EQ(setpgid(0, 0), 0);
    platform::ChildProcess child;
    ASSERT_TRUE(child.start({programmer.string(), "", {}}));
    const pid_t pid = static_cast<pid_t>(child.processId());
    EXPECT_EQ(getpgid(pid), pid); // a group of its own
    // What the terminal does on Ctrl+C: the signal to every process of the foreground group.
    ASSERT_EQ(kill(-getpgrp(), SIGINT), 0);
    EXPECT_TRUE(platform::interruptRequested());
    ASSERT_TRUE(orders.waitForEnd(10000));
    for (int i = 0; i < 200 && child.exitCode() == platform::kStillActive; ++i)
        child.waitForEnd(50);
    EXPECT_EQ(child.exitCode(), 0u);
}

#endif
