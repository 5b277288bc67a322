#include "tests/app/WindowFixture.h"

#include "board/BoardProtocol.h"
#include "resources/BoardLayout.h"
#include "tests/support/BoardBytes.h"
#include "widgets/TImage.h"
#include "widgets/TPaintBox.h"
#include "widgets/TSpeedButton.h"
#include "widgets/TTimer.h"

#include <QApplication>
#include <QTest>

#include <gmock/gmock.h>

using qbv::test::FakeJtag;
using qbv::test::WindowTest;
using testing::ElementsAre;
using testing::ElementsAreArray;

namespace {

class IoButtonsTest : public WindowTest {
protected:
    void SetUp() override {
        startUp();
        ASSERT_TRUE(controlsShown());
        // Polling is not what these cases look at; stop it so the board receives only the clicks' bytes.
        form->TimerButtonPolling->SetEnabled(false);
        QCoreApplication::processEvents();
        fake.clearRecord();
    }

    std::vector<uint8_t> clickAndCollect(QWidget* button) {
        fake.clearRecord();
        clickOn(button);
        return fake.received();
    }
};

} // namespace

TEST_F(IoButtonsTest, LedClicksSendTheStateOfAllEightLeds) {
    EXPECT_THAT(clickAndCollect(led(0)), ElementsAre(0x01, 0x80));
    EXPECT_TRUE(led(0)->Down());
    EXPECT_EQ(status(), "Update LED success");
    EXPECT_EQ(statusColour(), "green");
    EXPECT_THAT(clickAndCollect(led(7)), ElementsAre(0x01, 0x81));
    EXPECT_THAT(clickAndCollect(led(0)), ElementsAre(0x01, 0x01));
    EXPECT_FALSE(led(0)->Down());
    EXPECT_THAT(clickAndCollect(led(2)), ElementsAre(0x01, 0x21));
}

TEST_F(IoButtonsTest, PinClicksSendOnlyThatPinWithItsNewState) {
    EXPECT_THAT(clickAndCollect(pin(5)), ElementsAre(0x05, 0x85));
    EXPECT_EQ(status(), "Update GPIO success");
    EXPECT_THAT(clickAndCollect(pin(5)), ElementsAre(0x05, 0x05));
    EXPECT_THAT(clickAndCollect(pin(87)), ElementsAre(0x05, 0xD7));
    EXPECT_THAT(clickAndCollect(pin(68)), ElementsAre(0x05, 0xC4));
    EXPECT_THAT(clickAndCollect(pin(0)), ElementsAre(0x05, 0x80));
}

TEST_F(IoButtonsTest, EveryPinOnThePictureSendsItsOwnIndex) {
    for (const qbv::layout::PinButton& placed : qbv::layout::placedGpioButtons()) {
        fake.clearRecord();
        clickAt(QRect(placed.rect.left, placed.rect.top, placed.rect.width, placed.rect.height).center());
        ASSERT_THAT(fake.received(), ElementsAre(0x05, qbv::board::pinByte(placed.pin, true))) << placed.pin;
    }
    fake.clearRecord();
    for (int led = 0; led < qbv::kLedCount; ++led)
        clickOn(this->led(led));
    EXPECT_THAT(fake.received(), ElementsAre(0x01, 0x80, 0x01, 0xC0, 0x01, 0xE0, 0x01, 0xF0, 0x01, 0xF8, 0x01,
                                             0xFC, 0x01, 0xFE, 0x01, 0xFF));
}

TEST_F(IoButtonsTest, ButtonIsDisabledWithTheHourglassWhileItsCommandRuns) {
    bool disabledDuring = false;
    bool hourglassDuring = false;
    QString statusDuring;
    fake.push(kFakeWrite, FakeJtag::step(0, kFakeAcceptAll, -1, 3));
    duringCall = [&] {
        disabledDuring = !led(4)->isEnabled();
        hourglassDuring = hourglass();
        statusDuring = status();
    };
    clickOn(led(4));
    EXPECT_TRUE(disabledDuring);
    EXPECT_EQ(led(4)->currentFrame(), TSpeedButton::FrameDown);
    EXPECT_TRUE(hourglassDuring);
    EXPECT_EQ(statusDuring, "Update LED...");
    EXPECT_TRUE(led(4)->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(IoButtonsTest, FailedLedCommandLosesTheConnectionAndKeepsTheClickedState) {
    fake.setFallback(kFakeWrite, FakeJtag::step(0, 0)); // nothing taken for three seconds
    clickOn(led(1));
    EXPECT_EQ(status(), "Lost FPGA connection");
    EXPECT_EQ(statusColour(), "red");
    EXPECT_EQ(visibleIoButtons(), 0);
    EXPECT_TRUE(led(1)->Down());
    EXPECT_TRUE(led(1)->isEnabled());
    EXPECT_FALSE(fake.loaded());
    EXPECT_EQ(mainButtons(), "CDE");

    // The next connection sequence releases it without sending anything for it.
    fake.setFallback(kFakeWrite, FakeJtag::step(0));
    fake.clearRecord();
    clickOn(form->SpeedButtonConnect);
    EXPECT_FALSE(led(1)->Down());
    EXPECT_THAT(fake.received(), ElementsAre(0x00, 0x06));
    ASSERT_TRUE(waitUntil([this] { return controlsShown(); }));
    form->TimerButtonPolling->SetEnabled(false); // the reconnection started polling again
    // The first LED click after the reconnection sets all eight LEDs from the buttons.
    EXPECT_THAT(clickAndCollect(led(6)), ElementsAre(0x01, 0x02));
}

TEST_F(IoButtonsTest, FailedPinCommandShowsItsOwnFailThenTheLostConnection) {
    fake.setFallback(kFakeWrite, FakeJtag::step(-1, 0));
    clickOn(pin(30));
    EXPECT_EQ(status(), "Lost FPGA connection");
    EXPECT_TRUE(pin(30)->Down());
    EXPECT_EQ(visibleIoButtons(), 0);
}

TEST_F(IoButtonsTest, ClicksBetweenTheButtonsSendNothing) {
    const QString before = status();
    for (const auto& [left, right] : {std::pair(led(0), led(1)), std::pair(pin(0), pin(1))}) {
        const QPoint between((left->geometry().right() + right->geometry().left()) / 2,
                             left->geometry().center().y());
        ASSERT_EQ(form->childAt(between), form->ImageBoard);
        clickAt(between);
    }
    EXPECT_TRUE(fake.received().empty());
    EXPECT_EQ(status(), before);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(IoButtonsTest, ReleaseOutsideTheButtonFlipsNothing) {
    const QPoint inside = led(3)->geometry().center();
    QTest::mousePress(form->windowHandle(), Qt::LeftButton, Qt::NoModifier, inside);
    EXPECT_EQ(led(3)->currentFrame(), TSpeedButton::FramePressed);
    QTest::mouseMove(form->windowHandle(), QPoint(300, 300));
    QTest::mouseRelease(form->windowHandle(), Qt::LeftButton, Qt::NoModifier, QPoint(300, 300));
    EXPECT_FALSE(led(3)->Down());
    EXPECT_TRUE(fake.received().empty());
}
