#pragma once

#include "app/UnitMain.h"
#include "tests/support/RecordingBoxes.h"

#include <QImage>
#include <QString>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

class TSpeedButton;

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace qbv::test {

// The panel's window as a test drives it, shared by the window, end-to-end and stand-in suites: made
// and shown with a user of the test's own at its boxes, clicked through the window system so a click
// lands on whatever control lies there, and read as the user sees it.
class WindowDriver {
public:
    explicit WindowDriver(int defaultWaitMs = 5000) : defaultWaitMs_(defaultWaitMs) {}
    virtual ~WindowDriver();
    WindowDriver(const WindowDriver&) = delete;
    WindowDriver& operator=(const WindowDriver&) = delete;

    // Creates and shows the window; its first-show set-up runs and the boot timer is armed.
    void showWindow();
    // Lets the message loop run until the condition holds, looking after every event; false after the
    // time (the driver's default when none is given).
    bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 0);

    void clickAt(const QPoint& point);
    void clickOn(QWidget* widget);
    void moveMouseTo(const QPoint& point);

    QString status() const;
    QString hint() const;
    QString progressText() const;
    TSpeedButton* led(int index) const;
    TSpeedButton* pin(int index) const;
    int visibleIoButtons() const;
    bool visible(QWidget* widget) const;
    // Which of Connect, Download and Exit the user can see, as "CDE" with '-' for a hidden one.
    std::string mainButtons() const;
    // The pixels of a region of the window as the window system holds them, not rendered anew.
    QImage shownRegion(const QRect& region) const;

    RecordingBoxes ui;
    std::unique_ptr<TFormMain> form;

private:
    int defaultWaitMs_;
};

} // namespace qbv::test
