#include "tests/app/WindowFixture.h"

#include "platform/VendorToolchain.h"
#include "programming/ProgrammingJob.h"
#include "tests/programming/ProgrammerTesting.h"
#include "widgets/TPaintBox.h"
#include "widgets/TSpeedButton.h"
#include "widgets/TTimer.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <optional>

#include <gmock/gmock.h>

namespace fs = std::filesystem;
using qbv::MessageKind;
using qbv::test::WindowTest;
using testing::ElementsAre;

namespace {

// A connected window, a tool chain whose programmer is the test programmer, and a design file beside
// the program.
class ProgrammingJobTest : public WindowTest {
protected:
    void SetUp() override {
        installToolChain();
        startUp();
        ASSERT_TRUE(controlsShown());
    }
    void installToolChain() {
        qbv::test::installTestProgrammer(toolChain.path() / "bin" /
                                         (std::string("quartus_pgm") + programmerSuffix()));
        registered.emplace(toolChain.path().string());
        std::ofstream(directory.path() / "QBV_Control_Panel.pof") << "design";
    }
    void TearDown() override { registered.reset(); }

    static std::string programmerSuffix() { return QBV_EXE_SUFFIX; }

    // Download, and the job to its end: the link down, or connected again.
    void download() {
        clickOn(form->SpeedButtonDownload);
        ASSERT_TRUE(waitForRest());
    }

    // Runs something once the programmer has been started and the job waits for it.
    void whileProgramming(std::function<void()> check) {
        QTimer::singleShot(80, form.get(), std::move(check));
    }

    qbv::test::TemporaryDirectory toolChain;
    // Where the job looks for the tool chain: the environment on POSIX, the registry on Windows.
    std::optional<qbv::test::RegisteredInstall> registered;
};

struct JobSnapshot {
    bool libraryLoaded = true;
    std::string mainButtons;
    int ioButtons = -1;
    bool hourglass = false;
    QString status;
    bool progressTimer = false;
    QWidget* focus = nullptr;
};

} // namespace

TEST_F(ProgrammingJobTest, SuccessProgramsWithEverythingPutAwayThenConnectsAgain) {
    qbv::test::ProgrammerOrders orders(0, 400);
    JobSnapshot during;
    int readsDuring = 0;
    whileProgramming([&] {
        during = {fake.loaded(), mainButtons(), visibleIoButtons(),
                  hourglass(),   status(),      form->TimerProgress->Enabled()};
        during.focus = QApplication::focusWidget();
        readsDuring = fake.count(kFakeRead);
        QTest::qWait(60);
        readsDuring = fake.count(kFakeRead) - readsDuring;
    });
    const int opens = fake.count(kFakeInit);
    form->activateWindow(); // Download from the keyboard
    form->SpeedButtonDownload->setFocus(Qt::TabFocusReason);
    QTest::keyClick(form->SpeedButtonDownload, Qt::Key_Space);
    ASSERT_TRUE(waitForRest());
    EXPECT_FALSE(during.libraryLoaded); // the link is down and the library unloaded while the programmer runs
    EXPECT_EQ(during.mainButtons, "---");
    EXPECT_EQ(during.ioButtons, 0);
    EXPECT_TRUE(during.hourglass);
    EXPECT_EQ(readsDuring, 0); // no key polls
    EXPECT_EQ(during.status, "Download Max II Code...");
    EXPECT_TRUE(during.progressTimer);
    EXPECT_EQ(during.focus, form->PaintBoxButton4); // the next in reading order that is no web link

    EXPECT_EQ(fake.count(kFakeInit), opens + 1); // connected again after the success
    EXPECT_EQ(status(), "Connect QB-vela success");
    EXPECT_TRUE(controlsShown());
    EXPECT_EQ(mainButtons(), "-DE");
    EXPECT_EQ(QApplication::focusWidget(), form->SpeedButtonDownload);
    EXPECT_FALSE(hourglass());
    EXPECT_FALSE(form->TimerProgress->Enabled());
    EXPECT_EQ(progressText(), "0");
    EXPECT_TRUE(fs::exists(directory.path() / "QBV_Control_Panel.cdf"));
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(ProgrammingJobTest, FailingProgrammerShowsItsCodeAndLeavesTheLinkDown) {
    qbv::test::ProgrammerOrders orders(1);
    const int opens = fake.count(kFakeInit);
    download();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].kind, MessageKind::Information);
    EXPECT_EQ(ui.boxes[0].text, "ExitCode:1h");
    EXPECT_EQ(status(), "Download Max II code fail");
    EXPECT_EQ(statusColour(), "red");
    EXPECT_EQ(fake.count(kFakeInit), opens); // no connection sequence after a failure
    EXPECT_EQ(visibleIoButtons(), 0);
    EXPECT_EQ(mainButtons(), "-DE"); // the job leaves Connect as it found it
}

TEST_F(ProgrammingJobTest, EachBoxComesBeforeTheRedStatusWhileTheLineStillSaysWhatRan) {
    struct Row {
        bool toolChain;
        uint32_t exitCode;
        const char* box;
        const char* statusUnderTheBox;
    };
    for (const Row& row : {Row{false, 0, "Please make sure Quatus is installed", "Download Max II code..."},
                           Row{true, 1, "ExitCode:1h", "Download Max II Code..."}}) {
        SCOPED_TRACE(row.box);
        if (row.toolChain)
            registered.emplace(toolChain.path().string());
        else
            registered.reset();
        qbv::test::ProgrammerOrders orders(row.exitCode);
        ui.boxes.clear();
        QString underTheBox;
        ui.onBox = [&](const qbv::test::RecordingBoxes::Box&) { underTheBox = status(); };
        download();
        EXPECT_THAT(ui.texts(), ElementsAre(row.box));
        EXPECT_EQ(underTheBox, row.statusUnderTheBox);
        EXPECT_EQ(status(), "Download Max II code fail");
    }
}

TEST_F(ProgrammingJobTest, NoToolChainShowsItsBoxAndWritesNoChainFile) {
    registered.reset();
    bool progressUnderTheBox = true;
    ui.onBox = [&](const qbv::test::RecordingBoxes::Box&) {
        progressUnderTheBox = form->TimerProgress->Enabled();
    };
    download();
    EXPECT_FALSE(progressUnderTheBox); // the job has ended: its progress with it
    EXPECT_THAT(ui.texts(), ElementsAre("Please make sure Quatus is installed"));
    // Beneath it, where the tool chain was looked for.
    EXPECT_THAT(ui.boxes[0].detail, testing::HasSubstr(qbv::platform::toolchainWords().missing));
    EXPECT_THAT(ui.boxes[0].detail, testing::HasSubstr("quartus_pgm"));
    EXPECT_EQ(status(), "Download Max II code fail");
    EXPECT_FALSE(fs::exists(directory.path() / "QBV_Control_Panel.cdf"));
}

TEST_F(ProgrammingJobTest, ProgressReaches100AfterThirtySecondsAndStays) {
    qbv::test::ProgrammerOrders orders(3, 1500);
    clock.stop(); // the run's time is what the test says
    clickOn(form->SpeedButtonDownload);
    ASSERT_TRUE(waitUntil([&] { return orders.started(); }));
    std::vector<QString> shown;
    for (uint32_t step : {14999u, 1u, 15000u, 10000u}) {
        clock.advance(step);
        shown.push_back(progressAtNextTick());
    }
    ASSERT_TRUE(waitForRest());
    EXPECT_THAT(shown, ElementsAre("49", "50", "100", "100"));
    EXPECT_EQ(progressText(), "0");
    EXPECT_TRUE(ui.boxes.empty()); // exit code 3: failure without a box
}

TEST_F(ProgrammingJobTest, ANewRunShowsNothingUntilItsOwnFirstPercent) {
    clock.stop();
    {
        qbv::test::ProgrammerOrders orders(3, 1500);
        clickOn(form->SpeedButtonDownload);
        ASSERT_TRUE(waitUntil([&] { return orders.started(); }));
        clock.advance(21000);
        EXPECT_EQ(progressAtNextTick(), "70");
        ASSERT_TRUE(waitForRest());
        EXPECT_EQ(progressText(), "0");
    }
    qbv::test::ProgrammerOrders orders(3, 1500);
    clickOn(form->SpeedButtonDownload);
    ASSERT_TRUE(waitUntil([&] { return orders.started(); }));
    clock.advance(200); // 0 %: the panel stays empty
    EXPECT_EQ(progressAtNextTick(), "0");
    clock.advance(250); // 1 %
    EXPECT_EQ(progressAtNextTick(), "1");
    ASSERT_TRUE(waitForRest());
}

TEST_F(ProgrammingJobTest, NoToTheCloseQuestionLetsTheJobRunOn) {
    qbv::test::ProgrammerOrders orders(0, 400);
    ui.answers = {BoxAnswer::No};
    whileProgramming([&] { form->close(); });
    clickOn(form->SpeedButtonDownload);
    ASSERT_TRUE(waitUntil([&] { return !ui.boxes.empty(); }));
    ASSERT_TRUE(waitForRest());
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].kind, MessageKind::Warning);
    EXPECT_EQ(ui.boxes[0].text, "Process is not terminated. Are you sure want to quit?");
    EXPECT_EQ(status(), "Connect QB-vela success");
    EXPECT_TRUE(controlsShown());
}

TEST_F(ProgrammingJobTest, YesToTheCloseQuestionEndsOnceTheProgrammerHasEndedWithNoSequenceAfterIt) {
    qbv::test::ProgrammerOrders orders(0, 600);
    ui.answers = {BoxAnswer::Yes};
    whileProgramming([&] { form->close(); });
    const int opens = fake.count(kFakeInit);
    clickOn(form->SpeedButtonDownload);
    ASSERT_TRUE(waitUntil([&] { return !ui.boxes.empty(); }));
    const uint32_t asked = clock.tickCount();
    // The window stays as it was, busy, until the programmer has ended and the close's grace is over.
    ASSERT_TRUE(waitUntil([&] { return !form->isVisible(); }, 4000));
    EXPECT_TRUE(orders.waitForEnd(0));
    EXPECT_GE(clock.tickCount() - asked, 2000u);
    EXPECT_EQ(status(), "The control panel ends when the programmer has ended.");
    EXPECT_EQ(fake.count(kFakeInit), opens); // no connection follows the job
    EXPECT_FALSE(fake.loaded());
}
