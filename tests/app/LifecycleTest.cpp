#include "tests/app/WindowFixture.h"

#include "app/MessageBoxes.h"
#include "app/WebLinks.h"
#include "widgets/TPaintBox.h"
#include "widgets/TSpeedButton.h"
#include "widgets/TStatusBar.h"
#include "widgets/TTimer.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <gmock/gmock.h>

using qbv::test::FakeJtag;
using qbv::test::WindowTest;
using testing::ElementsAre;

namespace {

// Takes the place of the desktop's browser.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    UrlRecorder() { QDesktopServices::setUrlHandler("https", this, "open"); }
    ~UrlRecorder() override { QDesktopServices::unsetUrlHandler("https"); }
    std::function<void(const QUrl&)> onOpen;

public slots:
    void open(const QUrl& url) {
        if (onOpen)
            onOpen(url);
    }
};

} // namespace

TEST_F(WindowTest, WebLinksOpenTheirAddressesWithTheWindowHeldAndTheStatusShownMeanwhile) {
    startUp();
    UrlRecorder browser;
    std::vector<std::string> seen;
    browser.onOpen = [&](const QUrl& url) {
        seen.push_back(url.toString().toStdString() + " | " + status().toStdString() + " | " +
                       (hourglass() ? "hourglass" : "arrow"));
    };
    clickOn(form->SpeedButtonAltera);
    clickOn(form->SpeedButtonMarovan);
    EXPECT_THAT(seen,
                ElementsAre(std::string(qbv::web::kFpgaVendorSite) + " | Link Altera Web Site... | hourglass",
                            std::string(qbv::web::kMakerSite) + " | Link Marovan Web Site... | hourglass"));
    EXPECT_EQ(status(), "");
    EXPECT_FALSE(hourglass());
    clickOn(led(0)); // the window takes input again
    EXPECT_TRUE(led(0)->Down());
}

TEST_F(WindowTest, WhileALinkOpensTheWindowIgnoresClicksWithoutGreyingItsControls) {
    startUp();
    UrlRecorder browser;
    bool downMeanwhile = true;
    bool enabledMeanwhile = false;
    browser.onOpen = [&](const QUrl&) {
        clickOn(led(0));
        downMeanwhile = led(0)->Down();
        enabledMeanwhile = led(0)->isEnabled();
    };
    clickOn(form->SpeedButtonMarovan);
    EXPECT_FALSE(downMeanwhile);
    EXPECT_TRUE(enabledMeanwhile);
}

TEST_F(WindowTest, HintsFollowTheMouseOverTheButtonsAndTheBarePicture) {
    startUp();
    moveMouseTo(form->SpeedButtonDownload->geometry().center());
    EXPECT_EQ(hint(), "Download MAX II Code");
    EXPECT_EQ(hintColour(), "black");
    moveMouseTo(form->PaintBoxButton2->geometry().center()); // a key box leaves the hint as it was
    EXPECT_EQ(hint(), "Download MAX II Code");
    moveMouseTo(form->SpeedButtonExit->geometry().center());
    EXPECT_EQ(hint(), "Terminate this program.");
    moveMouseTo(QPoint(300, 300)); // bare picture
    EXPECT_EQ(hint(), "");
    moveMouseTo(form->SpeedButtonAltera->geometry().center());
    EXPECT_EQ(hint(), "Link to Altera Web Site");
    // With no browser to open it, the link says so, and says it until another hint comes.
    clickOn(form->SpeedButtonAltera);
    moveMouseTo(QPoint(300, 300));
    moveMouseTo(QPoint(302, 301));
    EXPECT_EQ(hint(), "The web address could not be opened (it is in the log)");
    EXPECT_EQ(hintColour(), "red");
    moveMouseTo(form->SpeedButtonExit->geometry().center());
    EXPECT_EQ(hint(), "Terminate this program.");
}

TEST_F(WindowTest, PostedMessagesRunTheConnectionSequenceAndTheProgrammingJob) {
    fake.push(kFakeInit, FakeJtag::step(-1)); // the link does not open at start-up
    startUp();
    const int opens = fake.count(kFakeInit);
    QCoreApplication::postEvent(form.get(), new QEvent(static_cast<QEvent::Type>(1025)));
    EXPECT_EQ(fake.count(kFakeInit), opens); // posted: runs only when the loop delivers it
    QCoreApplication::processEvents();
    EXPECT_EQ(fake.count(kFakeInit), opens + 1);
    ASSERT_TRUE(waitUntil([this] { return status() == "Connect QB-vela success"; }));

    QCoreApplication::postEvent(form.get(), new QEvent(static_cast<QEvent::Type>(1026)));
    QCoreApplication::processEvents();
    EXPECT_FALSE(controlsShown()); // the job took the link down first
    EXPECT_FALSE(fake.loaded());
}

TEST_F(WindowTest, ExitClosesAtOnceWhenNothingRuns) {
    startUp();
    ASSERT_TRUE(controlsShown());
    clickOn(form->SpeedButtonExit);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_FALSE(fake.loaded());
    EXPECT_EQ(fake.order().back(), kFakeUnload);
    const int writes = fake.count(kFakeWrite);
    QTest::qWait(60);
    EXPECT_EQ(fake.count(kFakeWrite), writes); // no more polls
    clickOn(led(0));
    EXPECT_FALSE(led(0)->Down()); // and no more input
}

namespace {

// Closes the window in the middle of the start-up connection sequence (inside its key read), so that
// the close query meets the busy flag; it is handled when the sequence next handles messages.
class CloseWhileBusyTest : public WindowTest {
protected:
    void SetUp() override {
        fake.push(kFakeRead, FakeJtag::reply({0x00}, 5));
        duringCall = [this] {
            duringCall = nullptr;
            QTimer::singleShot(0, form.get(), [this] { form->close(); });
        };
        ui.onBox = [this](const qbv::test::RecordingBoxes::Box&) {
            buttonsAtQuestion = mainButtons();
            tickAtQuestion = clock.tickCount();
        };
    }
    std::string buttonsAtQuestion;
    uint32_t tickAtQuestion = 0;
};

} // namespace

TEST_F(CloseWhileBusyTest, YesLetsTheCloseGoAheadAboutTwoSecondsLater) {
    ui.answers = {BoxAnswer::Yes};
    showWindow();
    // The window stays as it was until the program ends, about two seconds later.
    ASSERT_TRUE(waitUntil([this] { return !ui.boxes.empty(); }));
    const int writes = fake.count(kFakeWrite);
    ASSERT_TRUE(waitUntil([this] { return !form->isVisible(); }));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].kind, qbv::MessageKind::Warning);
    EXPECT_EQ(ui.boxes[0].buttons, BoxButtons::YesNo);
    EXPECT_EQ(ui.boxes[0].text, "Process is not terminated. Are you sure want to quit?");
    EXPECT_EQ(buttonsAtQuestion, "---"); // asked while the sequence ran
    EXPECT_GE(clock.tickCount() - tickAtQuestion, 2000u);
    EXPECT_EQ(status(), "Connecting QB-vela ...");
    EXPECT_FALSE(fake.loaded());
    EXPECT_EQ(fake.count(kFakeWrite), writes); // nothing more went to the board once the user said quit
}

TEST_F(CloseWhileBusyTest, NoKeepsEverythingAsItWas) {
    ui.answers = {BoxAnswer::No};
    startUp();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(status(), "Connect QB-vela success");
    EXPECT_EQ(visibleIoButtons(), 96);
    const int reads = fake.count(kFakeRead);
    ASSERT_TRUE(waitUntil([&] { return fake.count(kFakeRead) > reads; })); // the keys are polled
}

using ApplicationTest = WindowTest;

TEST_F(ApplicationTest, ExceptionEscapingAHandlerIsShownAndTheLoopGoesOn) {
    startUp();
    QObject thrower;
    QTimer::singleShot(0, &thrower, [] { throw std::runtime_error("handler failed"); });
    bool after = false;
    QTimer::singleShot(1, &thrower, [&] { after = true; });
    for (int i = 0; i < 50 && !after; ++i)
        QTest::qWait(5);
    EXPECT_THAT(ui.texts(), ElementsAre("handler failed"));
    EXPECT_TRUE(after);
}

#include "LifecycleTest.moc"
