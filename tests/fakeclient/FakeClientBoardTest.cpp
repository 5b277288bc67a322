// The fake JTAG-UART client library forwarding its link to a virtual board process: what the board
// takes, what it answers, and how its refusals and a lost connection reach the library's caller.

#include "tests/fakeclient/FakeClientScript.h"
#include "tests/fakeclient/FakeClientTesting.h"

#include "BoardProcess.h"
#include "sim/core/WireProtocol.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

namespace qbv::test {
namespace {

using testing::HasSubstr;

class FakeClientBoard : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fakeAtlanticComplete());
        ASSERT_TRUE(board_.ready());
        script_.set(kFakeClientBoardVariable, kFakeBoardVirtual)
            .set(sim::wire::kBoardNameVariable, board_.name());
    }

    BoardProcess board_;
    ScopedVariables script_;
};

// The bytes waiting once the board has had time to answer; negative when the link broke.
int awaitAnswer(JTAGATLANTIC* link) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    int available = 0;
    while ((available = fakeAtlantic().bytesAvailable(link)) == 0 &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return available;
}

TEST_F(FakeClientBoard, ForwardsCommandsAndHandsOutTheBoardsAnswer) {
    const Link link = openLink();
    ASSERT_TRUE(link);
    EXPECT_EQ(write(link.get(), {0x01, 0x81}), 2);
    sim::BoardState state;
    ASSERT_TRUE(board_.control().state(state));
    EXPECT_EQ(state.leds, 0x81);

    ASSERT_TRUE(board_.control().setKeys(0x5));
    EXPECT_EQ(write(link.get(), {0x06}), 1);
    EXPECT_EQ(awaitAnswer(link.get()), 1);
    EXPECT_EQ(read(link.get()), std::vector<uint8_t>{0x05});
}

TEST_F(FakeClientBoard, ALostConnectionBreaksTheLink) {
    const Link link = openLink();
    ASSERT_TRUE(link);
    board_.process().kill();
    ASSERT_TRUE(board_.process().waitForFinished(5000));
    EXPECT_LT(write(link.get(), {0x00}), 0);
    EXPECT_LT(fakeAtlantic().bytesAvailable(link.get()), 0);
    EXPECT_LT(fakeAtlantic().read(link.get(), nullptr, 0), 0);
}

struct RefusalCase {
    const char* name;
    std::function<Link(BoardProcess&, ScopedVariables&)> arrange; // returns a link to hold, if any
    int error;
    const char* detail;
};

void PrintTo(const RefusalCase& row, std::ostream* out) {
    *out << row.name;
}

class FakeClientBoardRefusal : public FakeClientBoard, public testing::WithParamInterface<RefusalCase> {};

TEST_P(FakeClientBoardRefusal, ReachesTheCallerAsTheVendorsError) {
    const Link held = GetParam().arrange(board_, script_);
    EXPECT_FALSE(openLink());
    const auto [error, detail] = lastOpenError();
    EXPECT_EQ(error, GetParam().error);
    EXPECT_THAT(detail, HasSubstr(GetParam().detail));
}

INSTANTIATE_TEST_SUITE_P(
    Table, FakeClientBoardRefusal,
    testing::Values(RefusalCase{"LinkHeldByAnother",
                                [](BoardProcess&, ScopedVariables&) { return openLink(); }, -6,
                                "Another program"},
                    RefusalCase{"CableUnplugged",
                                [](BoardProcess& board, ScopedVariables&) {
                                    board.control().unplug();
                                    return Link();
                                },
                                -4, "unplugged"},
                    RefusalCase{"NoBoardRunning",
                                [](BoardProcess&, ScopedVariables& script) {
                                    script.set(sim::wire::kBoardNameVariable, BoardProcess::uniqueName());
                                    return Link();
                                },
                                -3, "is running"}));

} // namespace
} // namespace qbv::test
