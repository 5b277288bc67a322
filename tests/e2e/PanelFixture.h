#pragma once

#include "BoardProcess.h"
#include "app/UnitMain.h"
#include "sim/core/BoardState.h"
#include "tests/support/RecordingBoxes.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

class TSpeedButton;

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace qbv::test {

// The real window in this process over the real JTAG library that lies beside the test program, talking
// to a headless board process of the test's own. Time is real, so every wait is generous: the machine
// may be busy with other work.
class PanelTest : public testing::Test {
protected:
    // Long enough for a command that times out (3 s, or 6 s for a key read) and a settling second after.
    static constexpr int kGenerousMs = 15000;

    explicit PanelTest(const QStringList& boardArguments = {});
    ~PanelTest() override;

    void SetUp() override;

    // Shows the window and lets the start-up connection sequence run to its end.
    void startUp();
    // Lets the message loop run until the condition holds; false after timeoutMs. The condition is
    // looked at after every event, so the time it took is known to a millisecond or two.
    bool waitUntil(const std::function<bool()>& condition, int timeoutMs = kGenerousMs);
    // Lets the message loop run for a while.
    void pump(int milliseconds);

    // A left click at the centre of a control, through the window system, so it lands on whatever
    // control lies there. Board commands do not handle messages, so the click's command is over when
    // this returns.
    void clickOn(QWidget* widget);
    // Clicks Connect; the sequence runs inside the click.
    void clickConnect();
    // Clears every fault, connects again if the connection was lost, and checks that a click still
    // reaches the board.
    void expectRecovers();

    sim::BoardState boardState();
    QString status() const;
    TSpeedButton* led(int index) const;
    TSpeedButton* pin(int index) const;
    int visibleIoButtons() const;
    // The pixels of a region of the window as the window system holds them, not rendered anew.
    QImage shownRegion(const QRect& region) const;
    QImage shownKeyBox(int key) const;
    // The pressed-key picture over key k's background, as its box looks while the key is pressed.
    QImage pressedLook(int key) const;
    QImage releasedLook(int key) const;

    BoardProcess board;
    RecordingBoxes ui;
    std::unique_ptr<TFormMain> form;
};

} // namespace qbv::test
