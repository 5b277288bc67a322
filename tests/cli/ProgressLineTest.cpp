// The programming progress: elapsed time over 30 s, redrawn in place on a terminal, in tenths elsewhere.

#include "cli/ProgressLine.h"
#include "tests/support/FakeClock.h"

#include <gtest/gtest.h>

#include <sstream>

using qbv::cli::ProgressLine;

TEST(ProgressLineTest, TerminalRedrawsOneLineAndStopsAtAHundred) {
    qbv::test::FakeClock clock(0xFFFFF000u); // across the tick counter's wrap
    std::ostringstream out;
    ProgressLine progress(out, true);
    progress.start("Working");
    clock.advance(300);
    progress.update();
    progress.update(); // no move, no redraw
    clock.advance(60000);
    progress.update();
    EXPECT_EQ(progress.percent(), 100);
    progress.finish();
    EXPECT_EQ(out.str(), "\rWorking [                    ] 1%"
                         "\rWorking [####################] 100%\n");
}

TEST(ProgressLineTest, PlainLinesForEveryTenth) {
    qbv::test::FakeClock clock;
    std::ostringstream out;
    ProgressLine progress(out, false);
    progress.start("Working");
    for (int step = 0; step < 40; ++step) {
        clock.advance(1000);
        progress.update();
    }
    progress.stop();
    progress.update();
    std::string expected = "Working 0%\n";
    for (int tenth = 10; tenth <= 100; tenth += 10)
        expected += "Working " + std::to_string(tenth) + "%\n";
    EXPECT_EQ(out.str(), expected);
}
