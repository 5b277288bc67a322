#include "tests/app/WindowFixture.h"

#include "resources/BoardLayout.h"
#include "widgets/TImage.h"
#include "widgets/TPaintBox.h"
#include "widgets/TSpeedButton.h"
#include "widgets/TTimer.h"

#include <QPainter>
#include <QTest>

using qbv::test::FakeJtag;
using qbv::test::WindowTest;

namespace {

class KeysTest : public WindowTest {
protected:
    // What key box k shows on screen.
    QImage keyBox(int key) { return grabWindow().copy(keyPaintBox(key)->geometry()); }
    // The board picture under key box k, as the box shows it released.
    QImage releasedLook(int key) {
        return form->ImageBoard->bitmap()
            .copy(keyPaintBox(key)->geometry())
            .convertToFormat(QImage::Format_RGB32);
    }
    // The pressed-key picture drawn over it, as the box should show it when pressed.
    QImage pressedLook(int key) {
        QImage expected = releasedLook(key);
        QPainter painter(&expected);
        painter.drawImage(0, 0, form->ImagePressed->transparentBitmap());
        return expected;
    }
    bool showsKeys(uint8_t keys) {
        return waitUntil([&] { return keysShown() == keys; });
    }
};

} // namespace

TEST_F(KeysTest, KeyStateIsDrawnOnTheFourBoxes) {
    startUp();
    fake.answerKeyReads(0x05);
    ASSERT_TRUE(showsKeys(0x05));
    EXPECT_EQ(keyBox(0), pressedLook(0)); // PaintBoxButton1, the rightmost
    EXPECT_EQ(keyBox(1), releasedLook(1));
    EXPECT_EQ(keyBox(2), pressedLook(2));
    EXPECT_EQ(keyBox(3), releasedLook(3));
    fake.answerKeyReads(0xF8); // the upper bits mean nothing
    ASSERT_TRUE(showsKeys(0x08));
    EXPECT_EQ(keyBox(3), pressedLook(3));
    fake.answerKeyReads(0xF0);
    ASSERT_TRUE(showsKeys(0x00));
    for (int key = 0; key < qbv::layout::BUTTON_NUM; ++key)
        EXPECT_EQ(keyBox(key), releasedLook(key)) << key;
}

TEST_F(KeysTest, PollingShowsWhatTheBoardReportsAndKeepsPolling) {
    startUp();
    fake.answerKeyReads(0x08);
    ASSERT_TRUE(showsKeys(0x08));
    EXPECT_EQ(keyBox(3), pressedLook(3));
    fake.answerKeyReads(0x00);
    ASSERT_TRUE(showsKeys(0x00));
    EXPECT_EQ(form->TimerButtonPolling->Interval(), 20);
}

TEST_F(KeysTest, FailedPollLosesTheConnectionAndPollingStops) {
    startUp();
    fake.setFallback(kFakeRead, FakeJtag::step(0, 0, -1, 100));
    ASSERT_TRUE(waitUntil([&] { return !controlsShown(); }));
    EXPECT_EQ(status(), "Lost FPGA connection");
    const int writes = fake.count(kFakeWrite);
    QTest::qWait(100);
    EXPECT_EQ(fake.count(kFakeWrite), writes);
}

TEST_F(KeysTest, ClosingStopsKeyPaintingAndPolling) {
    startUp();
    fake.answerKeyReads(0x01);
    clickOn(form->SpeedButtonExit);
    EXPECT_EQ(keyBox(0), releasedLook(0)); // nothing drawn over the picture any more
    const int writes = fake.count(kFakeWrite);
    QTest::qWait(60);
    EXPECT_EQ(fake.count(kFakeWrite), writes);
}
