// The cable pulled and plugged in again, and a controller that was never programmed or was erased.

#include "PanelFixture.h"

#include "widgets/TSpeedButton.h"
#include "widgets/TTimer.h"

#include <QElapsedTimer>

#include <gmock/gmock.h>

using qbv::MessageKind;
using qbv::test::PanelTest;

namespace {

const char* const kChecklist = "Fail to connect QB-vela, please check:\n1. Board is plugged into your PC.\n"
                               "2. USB-Blaster driver is installed.\n3. Max II code is download.";
const char* const kNoResponseQuestion =
    "There is no response fron QB-vela board.\nDo you want to download Max II code now?";

class UnpluggedBoardTest : public PanelTest {
protected:
    UnpluggedBoardTest() : PanelTest({QStringLiteral("--unplugged")}) {}
};

class ControllerTest : public PanelTest {
protected:
    explicit ControllerTest(const QStringList& boardArguments = {}) : PanelTest(boardArguments) {}

    // After "no response" answered No: the way to programming is open, the way to connecting is not.
    void expectNoResponseAnsweredNo() {
        EXPECT_EQ(status(), "QB-vela no response (Please try to download Max II code)");
        ASSERT_FALSE(ui.boxes.empty());
        EXPECT_EQ(ui.boxes.back().kind, MessageKind::Error);
        EXPECT_EQ(ui.boxes.back().buttons, BoxButtons::YesNo);
        EXPECT_EQ(ui.boxes.back().text, kNoResponseQuestion);
        EXPECT_TRUE(form->SpeedButtonDownload->isVisible());
        EXPECT_TRUE(form->SpeedButtonExit->isVisible());
        EXPECT_FALSE(form->SpeedButtonConnect->isVisible());
        EXPECT_FALSE(controlsShown());
        EXPECT_EQ(visibleIoButtons(), 0);
        // The panel closed its link; the board hears of it a moment later.
        EXPECT_TRUE(waitUntil([&] { return !boardState().linkOpen; }));
    }
};

class BlankBoardTest : public ControllerTest {
protected:
    BlankBoardTest() : ControllerTest({QStringLiteral("--blank")}) {}
};

} // namespace

TEST_F(PanelTest, UnpluggingLosesTheConnectionOnTheNextPollAndConnectAfterPluggingInConnects) {
    startUp();
    ASSERT_TRUE(controlsShown());
    ASSERT_TRUE(board.control().unplug());
    QElapsedTimer sinceUnplug;
    sinceUnplug.start();
    ASSERT_TRUE(waitUntil([&] { return !controlsShown(); }));
    // The key read's write gives up after its 3 s: the first poll after the unplug is the one that fails.
    EXPECT_LT(sinceUnplug.elapsed(), 3000 + 3000);
    EXPECT_EQ(status(), "Lost FPGA connection");
    EXPECT_EQ(visibleIoButtons(), 0);
    EXPECT_TRUE(form->SpeedButtonConnect->isVisible());
    EXPECT_TRUE(form->SpeedButtonDownload->isVisible());
    EXPECT_TRUE(waitUntil([&] { return !boardState().linkOpen; }));
    EXPECT_TRUE(waitUntil([&] { return !form->TimerButtonPolling->Enabled(); }, 1000));
    EXPECT_TRUE(ui.boxes.empty());

    clickConnect(); // still unplugged
    EXPECT_FALSE(controlsShown());
    EXPECT_EQ(status(), "Fail to connect QB-vela");
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, kChecklist);
    EXPECT_TRUE(form->SpeedButtonConnect->isVisible());

    ASSERT_TRUE(board.control().plug());
    expectRecovers();
}

TEST_F(UnpluggedBoardTest, StartUpFailsWithTheChecklistAndConnectAfterPluggingInConnects) {
    startUp();
    EXPECT_FALSE(controlsShown());
    EXPECT_EQ(status(), "Fail to connect QB-vela");
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].kind, MessageKind::Error);
    EXPECT_EQ(ui.boxes[0].text, kChecklist);
    EXPECT_THAT(ui.boxes[0].detail, testing::HasSubstr("cable is unplugged")); // the library's reason
    EXPECT_TRUE(form->SpeedButtonConnect->isVisible());
    EXPECT_TRUE(form->SpeedButtonExit->isVisible());
    EXPECT_TRUE(waitUntil([&] { return !boardState().linkOpen; }));

    ASSERT_TRUE(board.control().plug());
    expectRecovers();
}

TEST_F(BlankBoardTest, StartUpAsksToDownloadAndNoLeavesDownloadAndExit) {
    startUp();
    expectNoResponseAnsweredNo();
    EXPECT_EQ(ui.boxes.size(), 1u);
}

TEST_F(ControllerTest, ErasingWhileConnectedLosesTheConnectionAndConnectAsksToDownload) {
    startUp();
    ASSERT_TRUE(controlsShown());
    ASSERT_TRUE(board.control().erase());
    ASSERT_TRUE(waitUntil([&] { return !controlsShown(); }));
    EXPECT_EQ(status(), "Lost FPGA connection");
    clickConnect();
    expectNoResponseAnsweredNo();
    EXPECT_EQ(ui.boxes.size(), 1u);
}
