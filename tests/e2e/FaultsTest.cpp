// Faults put into the link by the board: each leaves the panel in a state it may be in, and the panel
// comes back from it.

#include "PanelFixture.h"

#include "widgets/TSpeedButton.h"
#include "widgets/TTimer.h"

#include <QElapsedTimer>
#include <gmock/gmock.h>

using qbv::sim::BoardState;
using qbv::sim::Fault;
using qbv::test::PanelTest;
using testing::ElementsAre;

namespace {

// The key read's own time-out: a reply later than this is a lost connection.
constexpr qint64 kReadTimeOutMs = 3000;

class FaultsTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        if (HasFatalFailure())
            return;
        startUp();
        ASSERT_TRUE(controlsShown()) << status().toStdString();
    }

    // The bytes the board took for commands other than key reads: a completed poll is one byte in and one
    // reply byte out.
    static qint64 commandBytesBetween(const BoardState& before, const BoardState& after) {
        const auto received = static_cast<qint64>(after.received - before.received);
        const auto sent = static_cast<qint64>(after.sent - before.sent);
        return received - sent;
    }

    // Milliseconds the click took; its command runs inside it.
    qint64 timedClick(QWidget* widget) {
        QElapsedTimer took;
        took.start();
        clickOn(widget);
        return took.elapsed();
    }

    // Waits for the poll that the fault strikes to end the connection; returns how long it took.
    qint64 millisecondsToLoseTheConnection() {
        QElapsedTimer took;
        took.start();
        EXPECT_TRUE(waitUntil([&] { return !controlsShown(); }));
        return took.elapsed();
    }

    void expectLost() {
        EXPECT_FALSE(controlsShown());
        EXPECT_EQ(status(), "Lost FPGA connection");
        EXPECT_EQ(visibleIoButtons(), 0);
        // A tick already due finds the connection gone and leaves the timer off.
        EXPECT_TRUE(waitUntil([&] { return !form->TimerButtonPolling->Enabled(); }, 1000));
        EXPECT_TRUE(form->SpeedButtonConnect->isVisible());
        EXPECT_TRUE(ui.boxes.empty());
        EXPECT_TRUE(waitUntil([&] { return !boardState().linkOpen; })); // the panel let go of the link
    }
};

} // namespace

TEST_F(FaultsTest, StallsAreClearedAndEveryCommandStillSucceeds) {
    const BoardState before = boardState();
    ASSERT_TRUE(board.control().injectFault(Fault::Stall));
    clickOn(led(2));
    EXPECT_EQ(status(), "Update LED success");
    clickOn(pin(40));
    EXPECT_EQ(status(), "Update GPIO success");
    ASSERT_TRUE(waitUntil([&] { return boardState().sent >= before.sent + 5; })); // polls go on
    const BoardState after = boardState();
    EXPECT_EQ(after.leds, 0x20);
    EXPECT_THAT(after.pins, ElementsAre(40));
    // Each write and each read reported a stall, and the panel cleared every one.
    EXPECT_GE(after.stallsCleared, before.stallsCleared + 2 + 2 * 5);
    EXPECT_EQ(commandBytesBetween(before, after), 4);
    EXPECT_TRUE(controlsShown());
    expectRecovers();
}

TEST_F(FaultsTest, PartialAcceptanceStillDeliversExactlyTheCommandsBytes) {
    ASSERT_TRUE(board.control().injectFault(Fault::Partial));
    const BoardState before = boardState();
    clickOn(led(0));
    EXPECT_EQ(status(), "Update LED success");
    clickOn(pin(87));
    EXPECT_EQ(status(), "Update GPIO success");
    clickOn(led(7));
    pump(200); // polls in between
    const BoardState after = boardState();
    // A second copy of an accepted byte would have shifted the command stream: 0x01 0x01 0x80 sets 0x01.
    EXPECT_EQ(after.leds, 0x81);
    EXPECT_THAT(after.pins, ElementsAre(87));
    EXPECT_EQ(commandBytesBetween(before, after), 6);
    EXPECT_GT(after.sent, before.sent);
    EXPECT_TRUE(controlsShown());
    expectRecovers();
}

TEST_F(FaultsTest, ZeroAcceptanceForAFewAttemptsSucceedsAfterThePauses) {
    ASSERT_TRUE(board.control().injectFault(Fault::Zero, 3));
    const qint64 took = timedClick(led(5));
    EXPECT_EQ(status(), "Update LED success");
    EXPECT_GE(took, 3 * 150); // a pause after each attempt that the board took nothing of
    EXPECT_LT(took, 3000);
    const BoardState after = boardState();
    EXPECT_EQ(after.leds, 0x04);
    EXPECT_EQ(after.fault(Fault::Zero), 0);
    EXPECT_TRUE(controlsShown());
    expectRecovers();
}

TEST_F(FaultsTest, ZeroAcceptanceBeyondTheTimeOutFailsTheClickAndLosesTheConnection) {
    ASSERT_TRUE(board.control().injectFault(Fault::Zero));
    const qint64 took = timedClick(led(1));
    EXPECT_GE(took, 3000);
    expectLost();
    EXPECT_TRUE(led(1)->Down()); // the click's own state stays until the next connection sequence
    EXPECT_EQ(boardState().leds, 0x00);
    expectRecovers();
}

TEST_F(FaultsTest, AReplyDelayedWithinTheTimeOutArrivesAndPollingGoesOn) {
    ASSERT_TRUE(board.control().setKeys(0x02));
    ASSERT_TRUE(board.control().delayReplies(300, 1));
    QElapsedTimer sinceFault;
    sinceFault.start();
    ASSERT_TRUE(waitUntil([&] { return keysShown() == 0x02; }));
    EXPECT_GE(sinceFault.elapsed(), 300);
    EXPECT_TRUE(controlsShown());
    EXPECT_EQ(status(), "Connect QB-vela success");
    const BoardState before = boardState();
    EXPECT_EQ(before.fault(Fault::Delay), 0);
    ASSERT_TRUE(waitUntil([&] { return boardState().sent >= before.sent + 3; }));
    expectRecovers();
}

TEST_F(FaultsTest, AReplyLaterThanTheTimeOutLosesTheConnection) {
    ASSERT_TRUE(board.control().delayReplies(kReadTimeOutMs + 1500, 1));
    EXPECT_GE(millisecondsToLoseTheConnection(), kReadTimeOutMs);
    expectLost();
    // The late byte belongs to the old link; the new one starts clean.
    expectRecovers();
    ASSERT_TRUE(board.control().setKeys(0x08));
    EXPECT_TRUE(waitUntil([&] { return keysShown() == 0x08; }));
}

TEST_F(FaultsTest, ADroppedPollReplyLosesTheConnection) {
    ASSERT_TRUE(board.control().injectFault(Fault::Drop, 1));
    EXPECT_GE(millisecondsToLoseTheConnection(), kReadTimeOutMs);
    expectLost();
    expectRecovers();
}

TEST_F(PanelTest, ADroppedKeyReplyWhileConnectingIsNoResponse) {
    ASSERT_TRUE(board.control().injectFault(Fault::Drop, 1));
    startUp();
    EXPECT_FALSE(controlsShown());
    EXPECT_EQ(status(), "QB-vela no response (Please try to download Max II code)");
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].buttons, BoxButtons::YesNo);
    const BoardState after = boardState();
    EXPECT_EQ(after.received, 2u); // the ping, then the key read whose reply never came
    EXPECT_TRUE(waitUntil([&] { return !boardState().linkOpen; }));
    EXPECT_TRUE(form->SpeedButtonDownload->isVisible());
    EXPECT_FALSE(form->SpeedButtonConnect->isVisible());
}
