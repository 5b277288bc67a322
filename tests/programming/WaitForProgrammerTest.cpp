#include "common/Texts.h"
#include "programming/RunProgrammer.h"
#include "tests/support/FakeClock.h"
#include "tests/support/RecordingUiHost.h"

#include <gtest/gtest.h>

#include <deque>
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

    std::vector<std::string> events;

private:
    test::FakeClock& clock_;
    std::deque<std::optional<uint32_t>> codes_;
    uint32_t stepMs_;
};

struct ExitCodeCase {
    std::optional<uint32_t> code;
    bool success;
    const char* box; // information box text, or nullptr for none
};

void PrintTo(const ExitCodeCase& row, std::ostream* out) {
    if (row.code)
        *out << "exit code 0x" << std::hex << *row.code;
    else
        *out << "unreadable exit code";
}

class ExitCodeTable : public testing::TestWithParam<ExitCodeCase> {};

} // namespace

TEST_P(ExitCodeTable, EndsTheWaitWithTheRightOutcomeAndBox) {
    const ExitCodeCase& row = GetParam();
    test::FakeClock clock(1000);
    test::RecordingUiHost ui;
    ScriptedProgrammer programmer(clock, {platform::kStillActive, row.code});

    EXPECT_EQ(WaitForProgrammer(programmer, 60000), row.success);
    EXPECT_EQ(ui.processed, 2);
    if (row.box) {
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].kind, BoxKind::Information);
        EXPECT_EQ(ui.boxes[0].buttons, BoxButtons::Ok);
        EXPECT_EQ(ui.boxes[0].text, row.box);
    } else {
        EXPECT_TRUE(ui.boxes.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ExitCodeTable,
    testing::Values(ExitCodeCase{0u, true, nullptr}, ExitCodeCase{1u, false, "ExitCode:1h"},
                    ExitCodeCase{3u, false, nullptr}, ExitCodeCase{0xC000013Au, false, nullptr},
                    ExitCodeCase{0xC0000005u, false, "ExitCode:C0000005h"},
                    ExitCodeCase{0x8Fu, false, "ExitCode:8Fh"}, ExitCodeCase{std::nullopt, false, nullptr}));

TEST(WaitForProgrammer, EachPassHandlesMessagesReadsThenWaitsBriefly) {
    test::FakeClock clock;
    test::RecordingUiHost ui;
    ScriptedProgrammer programmer(clock, {259u, 259u, 0u});
    ui.onProcess = [&] { programmer.events.push_back("messages"); };

    EXPECT_TRUE(WaitForProgrammer(programmer, 60000));
    EXPECT_EQ(programmer.events, (std::vector<std::string>{"messages", "read", "wait 10", "messages", "read",
                                                           "wait 10", "messages", "read"}));
}

struct TimeOutCase {
    uint32_t start;
    uint32_t stepMs;
    int passes; // passes until the wait gives up
};

void PrintTo(const TimeOutCase& row, std::ostream* out) {
    *out << "from " << row.start << " in steps of " << row.stepMs << " ms";
}

class TimeOut : public testing::TestWithParam<TimeOutCase> {};

TEST_P(TimeOut, NeedsMoreThanTheLimit) {
    const TimeOutCase& row = GetParam();
    test::FakeClock clock(row.start);
    test::RecordingUiHost ui;
    ScriptedProgrammer programmer(clock, {platform::kStillActive}, row.stepMs);

    EXPECT_FALSE(WaitForProgrammer(programmer, 60000));
    EXPECT_EQ(ui.processed, row.passes);
    EXPECT_TRUE(ui.boxes.empty());
}

// Exactly 60000 ms is not late: the pass at 60000 waits on, the next one gives up. The counter may wrap.
INSTANTIATE_TEST_SUITE_P(Steps, TimeOut,
                         testing::Values(TimeOutCase{0, 10000, 8}, TimeOutCase{0, 60000, 3},
                                         TimeOutCase{0, 60001, 2}, TimeOutCase{0xFFFFF000u, 30000, 4}));

TEST(WaitForProgrammer, SuccessReadInThePassThatRunsLateStillCounts) {
    test::FakeClock clock;
    test::RecordingUiHost ui;
    ScriptedProgrammer programmer(clock, {259u, 0u}, 70000);
    EXPECT_TRUE(WaitForProgrammer(programmer, 60000));
}

TEST(WaitForProgrammer, TimeOutIsAParameter) {
    test::FakeClock clock;
    test::RecordingUiHost ui;
    ScriptedProgrammer programmer(clock, {259u}, 10);
    EXPECT_FALSE(WaitForProgrammer(programmer, 25));
    EXPECT_EQ(ui.processed, 4); // at 0, 10, 20 and 30 ms
}
