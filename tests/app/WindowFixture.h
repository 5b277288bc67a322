#pragma once

#include "tests/support/FakeClock.h"
#include "tests/support/FakeJtag.h"
#include "tests/support/WindowDriver.h"

#include <QImage>
#include <functional>
#include <gtest/gtest.h>

namespace qbv::test {

// The real window over the fake JTAG library, with a user at the message boxes who answers as scripted,
// and time that moves as real time does, as the program sleeps (so the library's retry pauses pass at
// once) and as the test says. The board answers every key read with 0x00 unless the test scripts otherwise.
class WindowTest : public testing::Test, public WindowDriver {
protected:
    WindowTest();
    ~WindowTest() override;

    // Shows the window and lets the start-up connection sequence run to its end.
    void startUp();
    QImage grabWindow() const;
    // The progress panel once the progress timer has ticked next, at the time the clock then gives.
    QString progressAtNextTick();

    // Runs inside the library call whose scripted step has a delay, i.e. in the middle of a board command,
    // after time has moved by the delay.
    std::function<void()> duringCall;

    FakeJtag fake;
    FakeLibraryDirectory directory;
    FakeClock clock{1000, FakeClock::Pace::RealTime};
};

} // namespace qbv::test
