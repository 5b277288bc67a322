#include "tests/app/WindowFixture.h"

#include "resources/BoardLayout.h"
#include "widgets/TImage.h"
#include "widgets/TPaintBox.h"
#include "widgets/TSpeedButton.h"
#include "widgets/TTimer.h"

#include <QCoreApplication>
#include <QPainter>
#include <QTest>
#include <QTimer>

#include <gmock/gmock.h>

using qbv::test::FakeJtag;
using qbv::test::WindowTest;
using testing::ElementsAre;

namespace {

class KeysTest : public WindowTest {
protected:
    // What key box k shows on screen.
    QImage keyBox(int key) {
        const QRect box = form->KeyPaintBox(key)->geometry();
        return grabWindow().copy(box);
    }
    // The pressed-key picture drawn over the key's background, as the box should show it when pressed.
    QImage pressedLook(int key) {
        QImage expected = form->KeyBackground(key)->copy();
        QPainter painter(&expected);
        painter.drawImage(0, 0, form->ImagePressed->transparentBitmap());
        return expected;
    }
    int keyReads() const { return fake.count(kFakeRead); }
};

} // namespace

TEST_F(KeysTest, KeyStateIsDrawnOnTheFourBoxes) {
    startUp();
    form->TimerButtonPolling->SetEnabled(false);
    form->SetKeyState(0x05);
    EXPECT_EQ(keyBox(0), pressedLook(0)); // PaintBoxButton1, the rightmost
    EXPECT_EQ(keyBox(1), *form->KeyBackground(1));
    EXPECT_EQ(keyBox(2), pressedLook(2));
    EXPECT_EQ(keyBox(3), *form->KeyBackground(3));
    form->SetKeyState(0xF0); // the upper bits mean nothing
    for (int key = 0; key < qbv::layout::BUTTON_NUM; ++key)
        EXPECT_EQ(keyBox(key), *form->KeyBackground(key)) << key;
}

TEST_F(KeysTest, PollingShowsWhatTheBoardReportsAndKeepsPolling) {
    startUp();
    fake.answerKeyReads(0x08);
    ASSERT_TRUE(waitUntil([&] { return form->KeyState() == 0x08; }));
    EXPECT_EQ(keyBox(3), pressedLook(3));
    fake.answerKeyReads(0x00);
    ASSERT_TRUE(waitUntil([&] { return form->KeyState() == 0x00; }));
    EXPECT_EQ(keyBox(3), *form->KeyBackground(3));
    EXPECT_EQ(form->TimerButtonPolling->Interval(), 20);
}

TEST_F(KeysTest, PollTickDuringACommandSendsNothingAndTriesAgain20MsLater) {
    startUp();
    form->TimerButtonPolling->SetEnabled(false);
    QCoreApplication::processEvents();
    // An LED command that takes a while and handles messages meanwhile, so the poll tick falls inside it.
    fake.push(kFakeWrite, FakeJtag::step(0, kFakeAcceptAll, -1, 1));
    fake.clearRecord();
    bool tickedInside = false;
    duringCall = [&] {
        duringCall = nullptr;
        form->TimerButtonPolling->SetEnabled(true);
        QTest::qWait(60); // the 20 ms tick comes while the command is in flight
        tickedInside = form->TimerButtonPolling->Enabled();
    };
    clickOn(led(0));
    EXPECT_TRUE(tickedInside);
    EXPECT_THAT(fake.received(), ElementsAre(0x01, 0x80)); // no key read slipped into the LED command
    ASSERT_TRUE(waitUntil([&] { return fake.count(kFakeRead) > 0; }));
    EXPECT_THAT(fake.received(), ElementsAre(0x01, 0x80, 0x06));
}

TEST_F(KeysTest, FailedPollLosesTheConnectionAndPollingStops) {
    startUp();
    fake.setFallback(kFakeRead, FakeJtag::step(0, 0, -1, 100));
    ASSERT_TRUE(waitUntil([&] { return !form->IsConnected(); }));
    EXPECT_EQ(status(), "Lost FPGA connection");
    EXPECT_FALSE(form->TimerButtonPolling->Enabled());
    const int writes = fake.count(kFakeWrite);
    QTest::qWait(100);
    EXPECT_EQ(fake.count(kFakeWrite), writes);
}

TEST_F(KeysTest, PollTickWithoutConnectionPortOrWhileClosingSendsNothingAndStaysStopped) {
    startUp();
    form->TimerButtonPolling->SetEnabled(false);
    fake.clearRecord();
    form->DestroyJtagPort(); // connected, but no port
    form->TimerButtonPollingTimer(form->TimerButtonPolling);
    EXPECT_FALSE(form->TimerButtonPolling->Enabled());
    EXPECT_TRUE(fake.received().empty());
    EXPECT_FALSE(form->IsPolling());
}

TEST_F(KeysTest, ClosingStopsKeyPaintingAndPolling) {
    startUp();
    const QImage bare = form->ImageBoard->bitmap()
                            .copy(form->KeyPaintBox(0)->geometry())
                            .convertToFormat(QImage::Format_RGB32);
    clickOn(form->SpeedButtonExit);
    form->SetKeyState(0x01);
    EXPECT_EQ(form->KeyState(), 0x01);
    EXPECT_EQ(keyBox(0), bare); // nothing drawn over the picture any more
    EXPECT_FALSE(form->TimerButtonPolling->Enabled());
    const int writes = fake.count(kFakeWrite);
    QTest::qWait(60);
    EXPECT_EQ(fake.count(kFakeWrite), writes);
}
