#pragma once

#include "app/UnitMain.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeJtag.h"
#include "tests/support/RecordingBoxes.h"

#include <QImage>
#include <QString>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

class TSpeedButton;

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace qbv::test {

// The real window over the fake JTAG library, with a user at the message boxes who answers as scripted,
// and time that moves only as the program sleeps (so a one-second wait passes at once) or as the test
// says. The board answers every key read with 0x00 unless the test scripts otherwise.
class WindowTest : public testing::Test {
protected:
    WindowTest();
    ~WindowTest() override;

    // Creates and shows the window; its first-show set-up runs, the boot timer is armed.
    void showWindow();
    // Shows the window and lets the start-up connection sequence run to its end.
    void startUp();
    // Lets the message loop run until the condition holds (or fails the test after a while).
    bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 5000);

    // A left click at a point of the window's client area, delivered through the window system, so it
    // lands on whatever control lies there.
    void clickAt(const QPoint& point);
    void clickOn(QWidget* widget);
    void moveMouseTo(const QPoint& point);

    QString status() const;
    QString hint() const;
    QString progressText() const;
    TSpeedButton* led(int index) const;
    TSpeedButton* pin(int index) const;
    int visibleIoButtons() const;
    QImage grabWindow() const;

    // Runs inside the library call whose scripted step has a delay, i.e. in the middle of a board command,
    // after time has moved by the delay.
    std::function<void()> duringCall;

    RecordingBoxes ui;
    FakeJtag fake;
    FakeLibraryDirectory directory;
    FakeClock clock{1000};
    std::unique_ptr<TFormMain> form;
};

} // namespace qbv::test
