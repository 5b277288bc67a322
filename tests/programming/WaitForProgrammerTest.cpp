#include "programming/RunProgrammer.h"
#include "tests/support/FakeClock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <ostream>

using namespace qbv;
using programming::WaitForProgrammer;

namespace {

// A programmer that reports the scripted exit codes one per read (the last one from then on), and whose
// every wait lets the fake clock move on by a fixed step.
class ScriptedProgrammer final : public platform::ProcessStatus {
public:
    ScriptedProgrammer(test::FakeClock& clock, std::deque<std::optional<uint32_t>> codes,
                       uint32_t stepMs = 10)
        : clock_(clock), codes_(std::move(codes)), stepMs_(stepMs) {}

    std::optional<uint32_t> exitCode() override {
        events.push_back("read");
        const std::optional<uint32_t> code = codes_.front();
        if (codes_.size() > 1)
            codes_.pop_front();
        return code;
    }
    void waitForEnd(uint32_t milliseconds) override {
        events.push_back("wait " + std::to_string(milliseconds));
        clock_.advance(stepMs_);
    }
    // Ended with what it started: gone from the next read on, unless it is one the system cannot end.
    void endTree() override {
        events.push_back("end tree");
        if (!unkillable)
            codes_ = {1u};
    }

    bool unkillable = false;

    std::vector<std::string> events;

private:
    test::FakeClock& clock_;
    std::deque<std::optional<uint32_t>> codes_;
    uint32_t stepMs_;
};

using programming::ProgrammerEnd;
using programming::ProgrammerRun;

struct ExitCodeCase {
    std::optional<uint32_t> code;
    ProgrammerEnd end;
};

void PrintTo(const ExitCodeCase& row, std::ostream* out) {
    if (row.code)
        *out << "exit code 0x" << std::hex << *row.code;
    else
        *out << "unreadable exit code";
}

class ExitCodeTable : public testing::TestWithParam<ExitCodeCase> {};

// Counts the passes of a wait, each of which handles the window's messages once.
struct Passes {
    int count = 0;
    std::function<void()> onPass;
    programming::MessagePump pump() {
        return [this] {
            ++count;
            if (onPass)
                onPass();
        };
    }
};

} // namespace

TEST_P(ExitCodeTable, EndsTheWaitWithTheRightOutcome) {
    const ExitCodeCase& row = GetParam();
    test::FakeClock clock(1000);
    Passes passes;
    ScriptedProgrammer programmer(clock, {platform::kStillActive, row.code});

    const ProgrammerRun ran = WaitForProgrammer(programmer, 60000, passes.pump());
    EXPECT_EQ(ran.end, row.end);
    if (row.end == ProgrammerEnd::UnexpectedExitCode) {
        EXPECT_EQ(ran.exitCode, *row.code); // told to the user as ExitCode:<hex>h
    }
    EXPECT_EQ(passes.count, 2);
}

INSTANTIATE_TEST_SUITE_P(Codes, ExitCodeTable,
                         testing::Values(ExitCodeCase{0u, ProgrammerEnd::Succeeded},
                                         ExitCodeCase{1u, ProgrammerEnd::UnexpectedExitCode},
                                         ExitCodeCase{3u, ProgrammerEnd::Failed},
                                         ExitCodeCase{0xC000013Au, ProgrammerEnd::Failed},
                                         ExitCodeCase{0xC0000005u, ProgrammerEnd::UnexpectedExitCode},
                                         ExitCodeCase{0x8Fu, ProgrammerEnd::UnexpectedExitCode},
                                         ExitCodeCase{std::nullopt, ProgrammerEnd::Failed}));

TEST(WaitForProgrammer, EachPassHandlesMessagesReadsThenWaitsBriefly) {
    test::FakeClock clock;
    Passes passes;
    ScriptedProgrammer programmer(clock, {259u, 259u, 0u});
    passes.onPass = [&] { programmer.events.push_back("messages"); };

    EXPECT_EQ(WaitForProgrammer(programmer, 60000, passes.pump()).end, ProgrammerEnd::Succeeded);
    EXPECT_EQ(programmer.events, (std::vector<std::string>{"messages", "read", "wait 10", "messages", "read",
                                                           "wait 10", "messages", "read"}));
}

struct TimeOutCase {
    uint32_t start;
    uint32_t stepMs;
    int passes; // passes until the wait is over: the programmer ended after its time ran out
    bool unkillable = false;
};

void PrintTo(const TimeOutCase& row, std::ostream* out) {
    *out << "from " << row.start << " in steps of " << row.stepMs << " ms"
         << (row.unkillable ? ", a programmer the system cannot end" : "");
}

class TimeOut : public testing::TestWithParam<TimeOutCase> {};

TEST_P(TimeOut, NeedsMoreThanTheLimit) {
    const TimeOutCase& row = GetParam();
    test::FakeClock clock(row.start);
    Passes passes;
    ScriptedProgrammer programmer(clock, {platform::kStillActive}, row.stepMs);
    programmer.unkillable = row.unkillable;

    EXPECT_EQ(WaitForProgrammer(programmer, 60000, passes.pump()).end, ProgrammerEnd::TimedOut);
    EXPECT_EQ(passes.count, row.passes);
    EXPECT_EQ(std::count(programmer.events.begin(), programmer.events.end(), "end tree"), 1);
}

// Exactly 60000 ms is not late: the pass at 60000 waits on, the next one ends the programmer, the one after
// sees it gone. The counter may wrap. One the system cannot end is given up on 10 s later.
INSTANTIATE_TEST_SUITE_P(Steps, TimeOut,
                         testing::Values(TimeOutCase{0, 10000, 9}, TimeOutCase{0, 60000, 4},
                                         TimeOutCase{0, 60001, 3}, TimeOutCase{0xFFFFF000u, 30000, 5},
                                         TimeOutCase{0, 10000, 10, true}));

TEST(WaitForProgrammer, SuccessReadInThePassThatRunsLateStillCounts) {
    test::FakeClock clock;
    ScriptedProgrammer programmer(clock, {259u, 0u}, 70000);
    EXPECT_EQ(WaitForProgrammer(programmer, 60000).end, ProgrammerEnd::Succeeded);
}

TEST(WaitForProgrammer, TimeOutIsAParameter) {
    test::FakeClock clock;
    Passes passes;
    ScriptedProgrammer programmer(clock, {259u}, 10);
    EXPECT_EQ(WaitForProgrammer(programmer, 25, passes.pump()).end, ProgrammerEnd::TimedOut);
    EXPECT_EQ(passes.count, 5); // at 0, 10, 20 and 30 ms, which ends it, and 40 ms, which sees it gone
}
