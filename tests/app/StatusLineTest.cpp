#include "tests/app/WindowFixture.h"

#include "widgets/TStatusBar.h"
#include "widgets/TTimer.h"

#include <QCoreApplication>
#include <QTimer>

using qbv::test::WindowTest;

namespace {

class StatusLineTest : public WindowTest {
protected:
    void SetUp() override {
        showWindow();
        form->TimerBoot->SetEnabled(false); // no connection sequence: these cases drive the status line alone
        form->TimerProgress->SetEnabled(false);
        clock.stop(); // the progress run reads the time the test sets
        clock.set(1000);
    }

    void tick() { form->TimerProgressTimer(form->TimerProgress); }

    QImage panel2() {
        const QRect rect = form->StatusBar->panelRect(2);
        return form->StatusBar->grab(rect).toImage().convertToFormat(QImage::Format_RGB32);
    }

    static int count(const QImage& image, QRgb colour) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += image.pixel(x, y) == colour ? 1 : 0;
        return n;
    }

    static constexpr QRgb kBlueRgb = 0xFF0000FFu;
    static constexpr QRgb kWhiteRgb = 0xFFFFFFFFu;
};

} // namespace

TEST_F(StatusLineTest, ProgressRunGrowsInWholePercentsReaches100AfterTheDurationAndStays) {
    form->StartProgressRun(10000);
    std::vector<QString> shown;
    for (uint32_t ms : {0u, 99u, 100u, 150u, 5055u, 9999u, 10000u, 25000u}) {
        clock.set(1000 + ms);
        tick();
        shown.push_back(progressText());
    }
    EXPECT_EQ(shown, (std::vector<QString>{"0", "0", "1", "1", "50", "99", "100", "100"}));
}

TEST_F(StatusLineTest, ProgressNeverGoesDownWithinARun) {
    form->StartProgressRun(10000);
    clock.set(1000 + 6000);
    tick();
    clock.set(1000 + 3000);
    tick();
    EXPECT_EQ(progressText(), "60");
}

TEST_F(StatusLineTest, ANewRunShowsNothingUntilItsOwnFirstPercent) {
    form->StartProgressRun(10000);
    clock.set(1000 + 7000);
    tick();
    form->EndProgressRun();
    EXPECT_EQ(progressText(), "0");
    form->StartProgressRun(30000);
    clock.advance(200); // 0 %: the panel stays empty
    tick();
    EXPECT_EQ(progressText(), "0");
    EXPECT_EQ(count(panel2(), kBlueRgb), 0);
    clock.advance(100); // 1 %
    tick();
    EXPECT_EQ(progressText(), "1");
}

TEST_F(StatusLineTest, ProgressRunAcrossTheTicksWrap) {
    clock.set(0xFFFFF000u);
    form->StartProgressRun(10000);
    clock.set(0xFFFFF000u + 5000u); // past the wrap
    tick();
    EXPECT_EQ(progressText(), "50");
}

TEST_F(StatusLineTest, ProgressPanelDrawsABlueBarWithTheCentredLabelInTwoColours) {
    const QRect rect = form->StatusBar->panelRect(2);
    const int mid = rect.height() / 2;

    // The stored text draws a half bar until the first progress tick.
    QImage half = panel2();
    EXPECT_EQ(half.pixel(1, 1), kBlueRgb);
    EXPECT_EQ(half.pixel(rect.width() / 2 - 30, 1), kBlueRgb);
    EXPECT_EQ(half.pixel(rect.width() / 2 + 30, 1), kWhiteRgb);
    EXPECT_EQ(half.pixel(rect.width() - 2, mid), kWhiteRgb);
    EXPECT_GT(count(half, kWhiteRgb), 0);

    form->ShowProgress(25);
    QImage quarter = panel2();
    const int split = rect.width() * 25 / 100;
    EXPECT_EQ(quarter.pixel(split - 1, 0), kBlueRgb);
    EXPECT_EQ(quarter.pixel(split, 0), kWhiteRgb);
    // The label "25%" sits in the white part, drawn in blue: blue pixels right of the split.
    int blueRight = 0;
    for (int x = split; x < quarter.width(); ++x)
        for (int y = 0; y < quarter.height(); ++y)
            blueRight += quarter.pixel(x, y) == kBlueRgb ? 1 : 0;
    EXPECT_GT(blueRight, 10);

    form->ShowProgress(100);
    QImage full = panel2();
    EXPECT_EQ(full.pixel(rect.width() - 1, 0), kBlueRgb);
    EXPECT_GT(count(full, kWhiteRgb), 10); // the label in white on the bar

    form->ShowProgress(0);
    EXPECT_EQ(count(panel2(), kBlueRgb), 0);
    form->StatusBar->setPanelText(2, "abc");
    EXPECT_EQ(count(panel2(), kBlueRgb), 0);
}

TEST_F(StatusLineTest, StatusAndHintTakeTheirColours) {
    form->ShowStatus("Update LED fail", 0x0000FF);
    form->ShowHint("Connect Board", 0);
    EXPECT_EQ(status(), "Update LED fail");
    EXPECT_EQ(statusColour(), "red");
    EXPECT_EQ(hint(), "Connect Board");
    const QRect rect = form->StatusBar->panelRect(0);
    const QImage image = form->StatusBar->grab(rect).toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_GT(count(image, 0xFFFF0000u), 5); // red text
}
