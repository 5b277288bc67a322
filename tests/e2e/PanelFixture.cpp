#include "PanelFixture.h"

#include "board/BoardProtocol.h"
#include "platform/Environment.h"
#include "platform/ProgramLocation.h"
#include "sim/core/WireProtocol.h"
#include "widgets/TImage.h"
#include "widgets/TPaintBox.h"
#include "widgets/TSpeedButton.h"
#include "widgets/TStatusBar.h"
#include "widgets/TTimer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <QTimer>

namespace qbv::test {

PanelTest::PanelTest(const QStringList& boardArguments) : WindowDriver(kGenerousMs), board(boardArguments) {
    // A question nobody scripted is answered No: Yes would start a programming job.
    ui.onBox = [this](const RecordingBoxes::Box& box) {
        if (box.buttons == BoxButtons::YesNo && ui.answers.empty())
            ui.answers.push_back(BoxAnswer::No);
    };
}

PanelTest::~PanelTest() {
    form.reset();
    QCoreApplication::processEvents();
    platform::setEnvironmentVariable(sim::wire::kBoardNameVariable, "");
}

void PanelTest::SetUp() {
    ASSERT_TRUE(board.ready()) << "the board process did not come up";
    platform::setEnvironmentVariable(sim::wire::kBoardNameVariable, board.name());
    platform::setEnvironmentVariable("QUARTUS_ROOTDIR", "");
}

void PanelTest::startUp() {
    showWindow();
    const QString connecting = QStringLiteral("Connecting QB-vela ...");
    ASSERT_TRUE(waitUntil([&] { return !form->TimerBoot->Enabled() && status() != connecting; }) &&
                waitForRest())
        << "the start-up connection sequence did not end; status: " << status().toStdString();
}

void PanelTest::pump(int milliseconds) {
    QElapsedTimer waited;
    waited.start();
    waitUntil([&] { return waited.elapsed() >= milliseconds; }, milliseconds + kGenerousMs);
}

void PanelTest::clickConnect() {
    ASSERT_TRUE(form->SpeedButtonConnect->isVisible());
    clickOn(form->SpeedButtonConnect);
    ASSERT_TRUE(waitForRest());
}

void PanelTest::expectRecovers() {
    ASSERT_TRUE(board.control().clearFaults()) << board.control().lastReply();
    if (!controlsShown()) {
        ASSERT_TRUE(form->SpeedButtonConnect->isVisible());
        clickConnect();
        ASSERT_TRUE(controlsShown()) << status().toStdString();
        EXPECT_EQ(status(), "Connect QB-vela success");
        EXPECT_EQ(visibleIoButtons(), 96);
    }
    clickOn(led(3));
    uint8_t expected = 0;
    for (int index = 0; index < qbv::kLedCount; ++index)
        expected |= led(index)->Down() ? ledBit(ledAt(index)) : 0;
    EXPECT_EQ(status(), "Update LED success");
    EXPECT_EQ(boardState().leds, expected);
    EXPECT_TRUE(controlsShown());
}

sim::BoardState PanelTest::boardState() {
    sim::BoardState state;
    EXPECT_TRUE(board.control().state(state)) << board.control().lastReply();
    return state;
}

QImage PanelTest::shownKeyBox(int key) const {
    return shownRegion(keyPaintBox(key)->geometry());
}

QImage PanelTest::pressedLook(int key) const {
    QImage look = releasedLook(key);
    QPainter painter(&look);
    painter.drawImage(0, 0, form->ImagePressed->transparentBitmap());
    return look;
}

QImage PanelTest::releasedLook(int key) const {
    return form->ImageBoard->bitmap()
        .copy(keyPaintBox(key)->geometry())
        .convertToFormat(QImage::Format_RGB32);
}

} // namespace qbv::test
