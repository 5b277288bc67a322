#include "tests/app/WindowFixture.h"

#include "common/Board.h"
#include "platform/Environment.h"
#include "widgets/TSpeedButton.h"
#include "widgets/TStatusBar.h"
#include "widgets/TTimer.h"

#include <QApplication>
#include <QCoreApplication>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gmock/gmock.h>

#ifdef _WIN32
#include <windows.h>

#include <tlhelp32.h> // after windows.h, which it needs
#endif

using qbv::MessageKind;
using qbv::test::FakeJtag;
using qbv::test::WindowTest;
using testing::ElementsAre;

namespace {

using ConnectionTest = WindowTest;

} // namespace

TEST_F(ConnectionTest, MissingLibraryShowsBothBoxesAndLeavesConnectAndExit) {
    directory.removeLibrary();
    startUp();
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[0].text, "fail to load dll - " + directory.libraryPath());
    EXPECT_EQ(ui.boxes[1].text, "Fail to load JTAG driver");
    EXPECT_EQ(ui.boxes[1].detail.find(directory.libraryPath() + " could not be loaded: "),
              0u); // why, beneath
    EXPECT_EQ(ui.boxes[1].kind, MessageKind::Error);
    EXPECT_EQ(status(), "Fail to load JTAG driver");
    EXPECT_EQ(statusColour(), "red");
    EXPECT_EQ(mainButtons(), "C-E");
    EXPECT_FALSE(fake.loaded());
    EXPECT_FALSE(form->TimerProgress->Enabled());
    EXPECT_EQ(progressText(), "0");
}

TEST_F(ConnectionTest, LinkThatDoesNotOpenShowsTheChecklistAndConnectRetriesFromAFreshPort) {
    fake.push(kFakeInit, FakeJtag::step(-1));
    startUp();
    EXPECT_THAT(ui.texts(),
                ElementsAre("Fail to connect QB-vela, please check:\n1. Board is plugged into your PC.\n"
                            "2. USB-Blaster driver is installed.\n3. Max II code is download."));
    EXPECT_EQ(status(), "Fail to connect QB-vela");
    EXPECT_EQ(statusColour(), "red");
    EXPECT_EQ(mainButtons(),
              "CDE"); // the checklist's third point, a controller without its code, needs Download
    EXPECT_FALSE(fake.loaded());
    EXPECT_THAT(fake.order(), ElementsAre(kFakeLoad, kFakeInit, kFakeUnload)); // library freed too

    clickOn(form->SpeedButtonConnect);
    std::vector<int32_t> calls = fake.order();
    calls.resize(9);
    EXPECT_THAT(calls, ElementsAre(kFakeLoad, kFakeInit, kFakeUnload, kFakeLoad, kFakeInit, kFakeAtlanticInit,
                                   kFakeWrite, kFakeWrite, kFakeRead));
    ASSERT_TRUE(waitUntil([this] { return status() == "Connect QB-vela success"; }));
    EXPECT_EQ(mainButtons(), "-DE");
}

TEST_F(ConnectionTest, NoAnswerAsksAndNoLeavesDownloadAndExit) {
    fake.setFallback(kFakeWrite, FakeJtag::step(0, 0)); // a blank controller takes nothing
    ui.answers = {BoxAnswer::No};
    startUp();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].kind, MessageKind::Error);
    EXPECT_EQ(ui.boxes[0].buttons, BoxButtons::YesNo);
    EXPECT_EQ(ui.boxes[0].text,
              "There is no response fron QB-vela board.\nDo you want to download Max II code now?");
    EXPECT_EQ(status(), "QB-vela no response (Please try to download Max II code)");
    EXPECT_EQ(mainButtons(), "-DE");
    EXPECT_FALSE(fake.loaded());
    EXPECT_EQ(fake.count(kFakeClose), 1);
    EXPECT_EQ(fake.count(kFakeRead), 0); // ping failed: no key read
}

TEST_F(ConnectionTest, PingThatSucceedsWithAFailedKeyReadIsNoResponse) {
    fake.setFallback(kFakeRead, FakeJtag::step(0, 0, -1, 100));
    ui.answers = {BoxAnswer::No};
    startUp();
    EXPECT_EQ(status(), "QB-vela no response (Please try to download Max II code)");
    EXPECT_THAT(fake.received(), ElementsAre(0x00, 0x06));
    EXPECT_FALSE(controlsShown());
}

TEST_F(ConnectionTest, YesStartsTheProgrammingJobOnlyAfterTheSequenceHasReturned) {
    fake.setFallback(kFakeWrite, FakeJtag::step(0, 0));
    ui.holding = true;
    showWindow();
    ASSERT_TRUE(waitUntil([&] { return !ui.up.empty(); }));
    EXPECT_EQ(mainButtons(), "---"); // the sequence still runs while it asks
    ASSERT_TRUE(ui.answerOldest(BoxAnswer::Yes));
    // Between the sequence and the job the window is at rest, as the answer left it: Exit alone, the arrow.
    EXPECT_EQ(mainButtons(), "--E");
    EXPECT_FALSE(hourglass());
    ui.holding = false;
    ASSERT_TRUE(waitUntil([&] { return status() == "Download Max II code fail"; }))
        << testing::PrintToString(ui.texts()); // the job ran: no tool chain here
}

TEST_F(ConnectionTest, SuccessShowsTheControlsAfterASecondAllUpAndStartsPolling) {
    uint32_t tickAtKeyRead = 0;
    fake.push(kFakeRead, FakeJtag::reply({0x00}, 1));
    duringCall = [&] { tickAtKeyRead = clock.tickCount(); };
    startUp();
    duringCall = nullptr;
    EXPECT_EQ(status(), "Connect QB-vela success");
    EXPECT_EQ(statusColour(), "green");
    EXPECT_EQ(visibleIoButtons(), 96);
    for (int index = 0; index < qbv::kLedCount; ++index)
        EXPECT_FALSE(led(index)->Down()) << index;
    for (int index = 0; index < qbv::kPinCount; ++index)
        EXPECT_FALSE(pin(index)->Down()) << index;
    EXPECT_EQ(mainButtons(), "-DE");
    EXPECT_TRUE(form->TimerButtonPolling->Enabled());
    EXPECT_FALSE(form->TimerProgress->Enabled());
    EXPECT_EQ(progressText(), "0");
    EXPECT_GT(clock.tickCount() - tickAtKeyRead, 1000u); // the controls came a second after the answer
    const int reads = fake.count(kFakeRead);
    ASSERT_TRUE(waitUntil([&] { return fake.count(kFakeRead) > reads + 2; })); // key polling runs
}

TEST_F(ConnectionTest, SequenceReleasesEveryButtonWithoutSendingAndReloadsTheLibrary) {
    startUp();
    clickOn(led(2));
    clickOn(pin(40));
    ASSERT_TRUE(led(2)->Down());
    fake.answerKeyReads(0x0F);
    ASSERT_TRUE(waitUntil([&] { return keysShown() == 0x0F; }));
    fake.answerKeyReads(0x00);
    fake.clearRecord();
    clickOn(form->SpeedButtonDownload); // the job fails and leaves Connect as it was: hidden
    QCoreApplication::postEvent(form.get(), new QEvent(static_cast<QEvent::Type>(1025)));
    QCoreApplication::processEvents();
    EXPECT_FALSE(led(2)->Down());
    EXPECT_FALSE(pin(40)->Down());
    EXPECT_EQ(keysShown(), 0);
    EXPECT_THAT(fake.received(), ElementsAre(0x00, 0x06)); // ping and keys only: no LED or pin command
    EXPECT_THAT(fake.order(), testing::Contains(kFakeLoad));
}

namespace {

// Whether panel 0, as it is on the screen now, holds text of this colour (red, green or blue).
bool panelShows(const QImage& shot, int channel) {
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const QColor pixel = shot.pixelColor(x, y);
            const int values[3] = {pixel.red(), pixel.green(), pixel.blue()};
            if (values[channel] > 100 && values[(channel + 1) % 3] < 60 && values[(channel + 2) % 3] < 60)
                return true;
        }
    return false;
}

struct BlockingCommand {
    const char* name;
    bool loseLinkFirst; // Connect is clicked after a lost link; an LED otherwise
    int before;         // colour channel of the status before the click
};

} // namespace

TEST_F(ConnectionTest, StatusIsOnTheScreenAndTheCursorBusyWhileACommandBlocks) {
    enum { kRed, kGreen, kBlue };
    for (const BlockingCommand& row :
         {BlockingCommand{"LED click", false, kGreen}, BlockingCommand{"Connect click", true, kRed}}) {
        SCOPED_TRACE(row.name);
        startUp();
        if (row.loseLinkFirst) {
            fake.setFallback(kFakeWrite, FakeJtag::step(1, 0));
            clickOn(led(0));
            fake.setFallback(kFakeWrite, FakeJtag::step(0));
        }
        QCoreApplication::processEvents();
        const QRect panel(form->StatusBar->mapTo(form.get(), form->StatusBar->panelRect(0).topLeft()),
                          form->StatusBar->panelRect(0).size());
        ASSERT_TRUE(panelShows(shownRegion(panel), row.before));
        bool blue = false;
        bool before = true;
        bool busyCursor = false;
        fake.push(kFakeWrite, FakeJtag::step(0, kFakeAcceptAll, -1, 1000)); // the board holds the command
        bool looked = false;
        duringCall = [&] {
            if (std::exchange(looked, true))
                return;
            blue = panelShows(shownRegion(panel), kBlue);
            before = panelShows(shownRegion(panel), row.before);
            busyCursor = hourglass();
        };
        clickOn(row.loseLinkFirst ? static_cast<QWidget*>(form->SpeedButtonConnect) : led(1));
        EXPECT_TRUE(blue);
        EXPECT_FALSE(before);
        EXPECT_TRUE(busyCursor);
        EXPECT_TRUE(waitUntil([] { return QApplication::overrideCursor() == nullptr; }));
        duringCall = nullptr;
        form.reset();
    }
}

#ifdef _WIN32

namespace {

// Ends every process of this name, as Task Manager would; how many it ended.
int endProcesses(const wchar_t* name) {
    int ended = 0;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (_wcsicmp(entry.szExeFile, name) != 0)
            continue;
        if (const HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID)) {
            ended += TerminateProcess(process, 1) ? 1 : 0;
            CloseHandle(process);
        }
    }
    CloseHandle(snapshot);
    return ended;
}

} // namespace

// The board maker's kind of library, 32-bit, beside the 64-bit panel connects through the helper, About says
// so, and the helper ended in the middle of the key polls is a lost connection, not a hang.
TEST_F(ConnectionTest, ThirtyTwoBitLibraryConnectsThroughTheHelperWhoseEndIsALostConnection) {
    qbv::test::TemporaryDirectory records;
    qbv::platform::setEnvironmentVariable(kFakeRecordVariable, records.directory() + "record.txt");
    directory.useThirtyTwoBitLibrary();
    startUp();
    EXPECT_EQ(status(), "Connect QB-vela success");
    EXPECT_TRUE(controlsShown());
    QTest::keyClick(form.get(), Qt::Key_F1);
    ASSERT_TRUE(waitUntil([&] { return !ui.boxes.empty(); }));
    EXPECT_THAT(ui.boxes.back().text,
                testing::HasSubstr("Edition: the board maker's (a 32-bit library, run by qbv-jtag32.exe)"));

    EXPECT_EQ(endProcesses(L"qbv-jtag32.exe"), 1);
    EXPECT_TRUE(waitUntil([&] { return status() == "Lost FPGA connection"; }, 20000));
    EXPECT_EQ(mainButtons(), "CDE");
    qbv::platform::setEnvironmentVariable(kFakeRecordVariable, "");
}

#endif
