// End to end: the panel's real window over the real alt_jtaglib beside it, a blank virtual board, and the
// stand-in programmer as the tool chain's quartus_pgm. A user who answers Yes to the no-response question
// gets the board programmed and connected.

#include "BoardProcess.h"

#include "app/UnitMain.h"
#include "platform/Environment.h"
#include "platform/ProgramLocation.h"
#include "sim/core/BoardState.h"
#include "sim/core/WireProtocol.h"
#include "sim/standin/ProgrammerSettings.h"
#include "tests/support/WindowDriver.h"
#include "widgets/TSpeedButton.h"
#include "widgets/TStatusBar.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <gmock/gmock.h>

#include <algorithm>
#include <functional>
#include <memory>

using namespace qbv;
using testing::ElementsAre;

namespace {

constexpr int kGenerousMs = 60000;

// The window as the program starts it, the user at its boxes (Yes to the question), and every status it
// shows between two handlings of its messages, in order. The program directory is this suite's own bin/
// directory, where the build put the JTAG library and the design file.
class PanelWindowTest : public testing::Test, public test::WindowDriver {
protected:
    PanelWindowTest() : WindowDriver(kGenerousMs) {}

    void SetUp() override {
        ASSERT_TRUE(board.ready());
        platform::setEnvironmentVariable(sim::wire::kBoardNameVariable, board.name());
        platform::setEnvironmentVariable("QUARTUS_ROOTDIR", QBV_STANDIN_QUARTUS_DIR);
        ui.onBox = [this](const test::RecordingBoxes::Box&) { note(); };
        QObject::connect(&sampler, &QTimer::timeout, [this] { note(); });
        sampler.start(1);
    }

    void TearDown() override {
        sampler.stop();
        form.reset();
        QCoreApplication::processEvents();
        for (const char* name :
             {sim::wire::kBoardNameVariable, "QUARTUS_ROOTDIR", standin::kExitCodeVariable})
            platform::setEnvironmentVariable(name, "");
    }

    void note() {
        if (!form)
            return;
        const std::string status = form->StatusBar->panelText(0).toStdString();
        if (statuses.empty() || statuses.back() != status)
            statuses.push_back(status);
        if (status == "Download Max II Code...")
            progressWhileProgramming =
                std::max(progressWhileProgramming, form->StatusBar->panelText(2).toInt());
    }

    sim::BoardState boardState() {
        sim::BoardState state;
        EXPECT_TRUE(board.control().state(state)) << board.control().lastReply();
        return state;
    }

    // TearDown closes the window, and so its link, while the board still runs.
    test::BoardProcess board{QStringList{QStringLiteral("--blank")}};
    QTimer sampler;
    std::vector<std::string> statuses;
    int progressWhileProgramming = 0;
};

} // namespace

TEST_F(PanelWindowTest, YesToTheQuestionProgramsTheBlankBoardAndConnects) {
    showWindow();
    ASSERT_TRUE(waitUntil([this] { return controlsShown() && !hourglass(); }));
    note();

    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text,
              "There is no response fron QB-vela board.\nDo you want to download Max II code now?");
    // The job's first status and its success are replaced before the window next handles its messages;
    // every status a user can see, in order:
    EXPECT_THAT(statuses,
                ElementsAre("Connecting QB-vela ...",
                            "QB-vela no response (Please try to download Max II code)",
                            "Download Max II Code...", "Connecting QB-vela ...", "Connect QB-vela success"));
    EXPECT_GT(progressWhileProgramming, 0); // the bar moved while the programmer ran
    EXPECT_EQ(statusColour(), "green");
    EXPECT_EQ(visibleIoButtons(), 96);
    EXPECT_TRUE(form->SpeedButtonDownload->isVisible());
    EXPECT_TRUE(form->SpeedButtonExit->isVisible());
    const sim::BoardState programmed = boardState();
    EXPECT_TRUE(programmed.programmed);
    EXPECT_TRUE(programmed.linkOpen);

    // The link works: the leftmost LED lights on the board.
    clickOn(led(0));
    ASSERT_TRUE(waitUntil([this] { return boardState().leds == 0x80; }, 10000));
    EXPECT_EQ(status(), "Update LED success");
}

TEST_F(PanelWindowTest, FailingProgrammerShowsItsCodeAndLeavesTheBoardAlone) {
    platform::setEnvironmentVariable(standin::kExitCodeVariable, "1");
    showWindow();
    ASSERT_TRUE(waitUntil([this] { return ui.boxes.size() >= 2; }) && waitForRest());

    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[1].kind, MessageKind::Information);
    EXPECT_EQ(ui.boxes[1].text, "ExitCode:1h");
    EXPECT_EQ(status(), "Download Max II code fail");
    EXPECT_EQ(statusColour(), "red");
    EXPECT_FALSE(controlsShown());
    EXPECT_EQ(visibleIoButtons(), 0);
    EXPECT_TRUE(form->SpeedButtonDownload->isVisible());
    EXPECT_TRUE(form->SpeedButtonExit->isVisible());
    EXPECT_FALSE(boardState().programmed);
}
