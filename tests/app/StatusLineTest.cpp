#include "tests/app/WindowFixture.h"

#include "widgets/TSpeedButton.h"
#include "widgets/TStatusBar.h"
#include "widgets/TTimer.h"

#include <QCoreApplication>

using qbv::test::FakeJtag;
using qbv::test::WindowTest;

namespace {

class StatusLineTest : public WindowTest {
protected:
    // The window shown at the time given, the clock still from then on: its start-up's 10 s progress run
    // goes on for as long as the connection sequence waits at the box that says the library is missing.
    // Nothing is processed yet: the first progress tick comes 100 ms later.
    void showWithoutLibrary(uint32_t start) {
        directory.removeLibrary();
        ui.holding = true;
        clock.stop();
        clock.set(start);
        form = std::make_unique<TFormMain>(qbv::test::programFolder(), &ui);
        form->show();
    }

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

// From a start where the tick counter has far to go, and from one where it wraps halfway through the run.
class ProgressRunTest : public StatusLineTest, public testing::WithParamInterface<uint32_t> {};

} // namespace

TEST_P(ProgressRunTest, GrowsInWholePercentsNeverGoesDownReaches100AfterTheDurationAndStays) {
    const uint32_t start = GetParam();
    showWithoutLibrary(start);
    std::vector<QString> shown;
    for (uint32_t ms : {0u, 99u, 100u, 150u, 5055u, 6000u, 3000u, 9999u, 10000u, 25000u}) {
        clock.set(start + ms);
        shown.push_back(progressAtNextTick());
    }
    EXPECT_EQ(shown, (std::vector<QString>{"0", "0", "1", "1", "50", "60", "60", "99", "100", "100"}));
}

INSTANTIATE_TEST_SUITE_P(Starts, ProgressRunTest, testing::Values(1000u, 0xFFFFF000u));

TEST_F(StatusLineTest, ProgressPanelDrawsABlueBarWithTheCentredLabelInTwoColours) {
    showWithoutLibrary(1000);
    const QRect rect = form->StatusBar->panelRect(2);
    const int mid = rect.height() / 2;

    // The stored text draws a half bar until the first progress tick.
    QImage half = panel2();
    EXPECT_EQ(half.pixel(1, 1), kBlueRgb);
    EXPECT_EQ(half.pixel(rect.width() / 2 - 30, 1), kBlueRgb);
    EXPECT_EQ(half.pixel(rect.width() / 2 + 30, 1), kWhiteRgb);
    EXPECT_EQ(half.pixel(rect.width() - 2, mid), kWhiteRgb);
    EXPECT_GT(count(half, kWhiteRgb), 0);

    clock.set(1000 + 2500);
    ASSERT_EQ(progressAtNextTick(), "25");
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

    clock.set(1000 + 10000);
    ASSERT_EQ(progressAtNextTick(), "100");
    QImage full = panel2();
    EXPECT_EQ(full.pixel(rect.width() - 1, 0), kBlueRgb);
    EXPECT_GT(count(full, kWhiteRgb), 10); // the label in white on the bar

    // Told that the library is missing, the sequence ends the run and empties the panel.
    ASSERT_TRUE(waitUntil([this] { return ui.opened == 1; }));
    ui.answerOldest(BoxAnswer::Ok);
    EXPECT_EQ(progressText(), "0");
    EXPECT_EQ(count(panel2(), kBlueRgb), 0);
}

TEST_F(StatusLineTest, StatusAndHintKeepTheirOwnColours) {
    startUp();
    fake.setFallback(kFakeWrite, FakeJtag::step(0, 0)); // the board takes no command
    clickOn(led(1));
    moveMouseTo(form->SpeedButtonConnect->geometry().center());
    EXPECT_EQ(status(), "Lost FPGA connection");
    EXPECT_EQ(statusColour(), "red");
    EXPECT_EQ(hint(), "Connect Board");
    EXPECT_EQ(hintColour(), "black");
}
