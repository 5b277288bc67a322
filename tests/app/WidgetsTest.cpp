#include "widgets/TImage.h"
#include "widgets/TSpeedButton.h"
#include "widgets/TStatusBar.h"
#include "widgets/TTimer.h"

#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QImage strip(int frames, int w, int h) {
    QImage image(frames * w, h, QImage::Format_RGB32);
    for (int i = 0; i < frames; ++i)
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                image.setPixel(i * w + x, y, qRgb(10 * i, 0, 0));
    return image;
}

} // namespace

TEST(SpeedButton, ShowsTheFrameOfItsStateAndLatchesOnlyAsAToggleOfItsOwnGroup) {
    QWidget parent;
    TSpeedButton button(&parent);
    button.setGeometry(0, 0, 20, 20);
    button.setGlyph(strip(4, 20, 20), 4);
    parent.show();
    EXPECT_EQ(button.currentFrame(), TSpeedButton::FrameUp);
    QTest::mousePress(&button, Qt::LeftButton);
    EXPECT_EQ(button.currentFrame(), TSpeedButton::FramePressed);
    QTest::mouseRelease(&button, Qt::LeftButton);
    EXPECT_FALSE(button.Down()); // group 0 springs back

    button.setGroupIndex(16);
    button.setAllowAllUp(true);
    bool downInHandler = false;
    QObject::connect(&button, &TSpeedButton::clicked, [&] { downInHandler = button.Down(); });
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_TRUE(downInHandler); // flipped before the click handler ran
    EXPECT_EQ(button.currentFrame(), TSpeedButton::FrameDown);
    button.setEnabled(false);
    EXPECT_EQ(button.currentFrame(), TSpeedButton::FrameDisabled);
    button.setEnabled(true);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_FALSE(button.Down()); // all up is allowed
    EXPECT_EQ(button.grab().toImage().pixel(5, 5), qRgb(0, 0, 0));

    button.setGlyph(strip(1, 20, 20), 1); // a one-frame glyph shows frame 0 in every state
    button.SetDown(true);
    EXPECT_EQ(button.currentFrame(), TSpeedButton::FrameUp);
}

TEST(StatusBar, PanelsStartAtTheRunningSumAndTheLastReachesTheRightEdge) {
    QWidget window;
    window.resize(774, 533);
    TStatusBar bar(&window);
    bar.addPanel(300, "Status");
    bar.addPanel(300, "");
    bar.addPanel(50, "50");
    window.show();
    EXPECT_EQ(bar.geometry(), QRect(0, 514, 774, 19));
    EXPECT_EQ(bar.panelRect(0).left(), 1);
    EXPECT_EQ(bar.panelRect(1).left(), 301);
    EXPECT_EQ(bar.panelRect(2).left(), 601);
    EXPECT_EQ(bar.panelRect(2).right(), 772);
    window.resize(800, 400); // it stays docked to the bottom edge
    EXPECT_EQ(bar.geometry(), QRect(0, 381, 800, 19));
}

TEST(Timer, EnablingStartsTheIntervalAnewAndTicksRepeatWhileEnabled) {
    QObject owner;
    TTimer timer(&owner, 40);
    int ticks = 0;
    QObject::connect(&timer, &TTimer::timer, [&] { ++ticks; });
    timer.SetEnabled(true);
    QTest::qWait(30);
    timer.SetEnabled(false);
    timer.SetEnabled(true); // restarts: no tick 10 ms later
    QElapsedTimer sinceRestart;
    sinceRestart.start();
    QTest::qWait(20);
    if (sinceRestart.elapsed() < 40) { // a loaded machine may sleep past the whole interval
        EXPECT_EQ(ticks, 0);
    }
    while (ticks < 2 && sinceRestart.elapsed() < 5000)
        QTest::qWait(10);
    EXPECT_GE(ticks, 2);
    timer.SetEnabled(false);
    const int stopped = ticks;
    QTest::qWait(60);
    EXPECT_EQ(ticks, stopped);
}

TEST(Image, AutoSizesToItsBitmapAndLeavesOutTheBottomLeftColour) {
    QWidget parent;
    TImage image(&parent);
    QImage bitmap(4, 3, QImage::Format_RGB32);
    bitmap.fill(qRgb(255, 255, 0));
    bitmap.setPixel(0, 2, qRgb(0, 0, 0));
    bitmap.setPixel(3, 0, qRgb(0, 0, 0));
    image.setBitmap(bitmap);
    image.setAutoSize(true);
    EXPECT_EQ(image.size(), QSize(4, 3));
    const QImage transparent = image.transparentBitmap();
    EXPECT_EQ(qAlpha(transparent.pixel(3, 0)), 0);
    EXPECT_EQ(qAlpha(transparent.pixel(0, 2)), 0);
    EXPECT_EQ(transparent.pixel(1, 1), qRgb(255, 255, 0));
}
