#pragma once

#include "BoardProcess.h"
#include "app/UnitMain.h"
#include "sim/core/BoardState.h"
#include "tests/support/WindowDriver.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace qbv::test {

// The real window in this process over the real JTAG library that lies beside the test program, talking
// to a headless board process of the test's own. Time is real, so every wait is generous: the machine
// may be busy with other work.
class PanelTest : public testing::Test, public WindowDriver {
protected:
    // Long enough for a command that times out (3 s, or 6 s for a key read) and a settling second after.
    static constexpr int kGenerousMs = 15000;

    explicit PanelTest(const QStringList& boardArguments = {});
    ~PanelTest() override;

    void SetUp() override;

    // Shows the window and lets the start-up connection sequence run to its end.
    void startUp();
    // Lets the message loop run for a while.
    void pump(int milliseconds);

    // Clicks Connect; the sequence runs inside the click.
    void clickConnect();
    // Clears every fault, connects again if the connection was lost, and checks that a click still
    // reaches the board.
    void expectRecovers();

    sim::BoardState boardState();
    QImage shownKeyBox(int key) const;
    // The pressed-key picture over key k's background, as its box looks while the key is pressed.
    QImage pressedLook(int key) const;
    QImage releasedLook(int key) const;

    BoardProcess board;
};

} // namespace qbv::test
