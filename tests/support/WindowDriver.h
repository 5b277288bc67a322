#pragma once

#include "app/UnitMain.h"
#include "tests/support/RecordingBoxes.h"

#include <QImage>
#include <QString>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

class QMenu;
class TPaintBox;
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
    // The same until the window is at rest: no sequence, command, job or box under way, Exit on offer.
    bool waitForRest(int timeoutMs = 0);

    void clickAt(const QPoint& point);
    void clickOn(QWidget* widget);
    void moveMouseTo(const QPoint& point);
    // The menu a right click on the board picture opens, once it is up (on a loaded machine it may open
    // well after the click); an item of it picked with the mouse.
    QMenu* openMenu();
    void pickFromMenu(int item);

    QString status() const;
    QString hint() const;
    QString progressText() const;
    TPaintBox* keyPaintBox(int key) const; // key k is bit k of the key state
    TSpeedButton* led(int index) const;
    TSpeedButton* pin(int index) const;
    int visibleIoButtons() const;
    // Connected, as the user tells it: the LED and pin controls are over the picture.
    bool controlsShown() const { return visibleIoButtons() == 96; }
    bool visible(QWidget* widget) const;
    bool hourglass() const;
    // The colour of the status text as drawn: "red", "green", "blue", "black", or "" with no text.
    std::string statusColour() const { return textColour(0); }
    std::string hintColour() const { return textColour(1); }
    // The keys the four key boxes show pressed, bit k for key k.
    uint8_t keysShown() const;
    // Which of Connect, Download and Exit the user can see, as "CDE" with '-' for a hidden one.
    std::string mainButtons() const;
    // The pixels of a region of the window as the window system holds them, not rendered anew.
    QImage shownRegion(const QRect& region) const;

    RecordingBoxes ui;
    std::unique_ptr<TFormMain> form;

private:
    std::string textColour(int panel) const;

    int defaultWaitMs_;
};

} // namespace qbv::test
