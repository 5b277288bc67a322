// Start-up against a working board, and clicks that reach the board's LEDs and pins.

#include "PanelFixture.h"

#include "widgets/TSpeedButton.h"
#include "widgets/TTimer.h"

#include <gmock/gmock.h>

using qbv::test::PanelTest;
using testing::ElementsAre;

TEST_F(PanelTest, StartUpConnectsShowsTheControlsAndKeepsPolling) {
    startUp();
    EXPECT_TRUE(controlsShown());
    EXPECT_EQ(status(), "Connect QB-vela success");
    EXPECT_EQ(visibleIoButtons(), 96);
    EXPECT_FALSE(form->SpeedButtonConnect->isVisible());
    EXPECT_TRUE(form->SpeedButtonDownload->isVisible());
    EXPECT_TRUE(form->SpeedButtonExit->isVisible());
    EXPECT_TRUE(ui.boxes.empty());

    const qbv::sim::BoardState before = boardState();
    EXPECT_TRUE(before.linkOpen);
    // Key reads keep arriving: each is one byte in and one reply byte out.
    ASSERT_TRUE(waitUntil([&] { return boardState().sent >= before.sent + 5; }));
    EXPECT_TRUE(controlsShown());
    EXPECT_EQ(form->TimerButtonPolling->Interval(), 20);
}

TEST_F(PanelTest, LedClicksSetTheBoardsLedsFromAllEightButtons) {
    startUp();
    ASSERT_TRUE(controlsShown());
    clickOn(led(0));
    EXPECT_EQ(status(), "Update LED success");
    EXPECT_TRUE(led(0)->Down());
    EXPECT_EQ(boardState().leds, 0x80);
    clickOn(led(7));
    EXPECT_EQ(boardState().leds, 0x81);
    clickOn(led(0));
    EXPECT_FALSE(led(0)->Down());
    EXPECT_EQ(boardState().leds, 0x01);
    EXPECT_TRUE(led(0)->isEnabled());
    EXPECT_TRUE(controlsShown());
}

TEST_F(PanelTest, PinClicksDriveOnePinEach) {
    startUp();
    ASSERT_TRUE(controlsShown());
    clickOn(pin(68));
    EXPECT_EQ(status(), "Update GPIO success");
    EXPECT_TRUE(pin(68)->Down());
    EXPECT_THAT(boardState().pins, ElementsAre(68));
    clickOn(pin(87));
    clickOn(pin(0));
    EXPECT_THAT(boardState().pins, ElementsAre(0, 68, 87));
    clickOn(pin(68));
    EXPECT_THAT(boardState().pins, ElementsAre(0, 87));
    EXPECT_EQ(boardState().leds, 0x00); // a pin command touches no LED
}

TEST_F(PanelTest, ReconnectingReleasesTheButtonsAndTheNextLedClickSetsAllEight) {
    startUp();
    clickOn(led(1));
    clickOn(pin(5));
    ASSERT_EQ(boardState().leds, 0x40);
    ASSERT_TRUE(board.control().unplug());
    ASSERT_TRUE(waitUntil([&] { return !controlsShown(); }));
    ASSERT_TRUE(board.control().plug());
    clickConnect();
    ASSERT_TRUE(controlsShown());
    EXPECT_FALSE(led(1)->Down());
    EXPECT_FALSE(pin(5)->Down());
    // Reconnecting sends nothing of the buttons' own: the board keeps what it had until a click.
    EXPECT_EQ(boardState().leds, 0x40);
    EXPECT_THAT(boardState().pins, ElementsAre(5));
    clickOn(led(6));
    EXPECT_EQ(boardState().leds, 0x02);
}
