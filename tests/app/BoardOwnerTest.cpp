// What the window offers a board owner beyond the board maker's: what each control is, the log, the
// context menu and its shortcuts, About.

#include "tests/app/WindowFixture.h"
#include "tests/programming/ProgrammerTesting.h"

#include "app/EventLog.h"
#include "app/LogWindow.h"
#include "platform/Environment.h"
#include "widgets/TImage.h"
#include "widgets/TPaintBox.h"
#include "widgets/TSpeedButton.h"
#include "widgets/TTimer.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <fstream>

#include <gmock/gmock.h>

using qbv::test::FakeJtag;
using qbv::test::WindowTest;
using testing::HasSubstr;

namespace {

class BoardOwnerTest : public WindowTest {
protected:
    // The tooltip the user sees after resting the mouse on a control.
    QString tooltipOver(QWidget* control) {
        QToolTip::hideText();
        waitUntil([] { return !QToolTip::isVisible(); }, 2000);
        moveMouseTo(control->geometry().center() + QPoint(1, 0));
        moveMouseTo(control->geometry().center());
        waitUntil([] { return QToolTip::isVisible(); }, 3000);
        return QToolTip::text();
    }
    // Which of the menu's first three items are enabled, as "CDL" with '-' for a disabled one, read from
    // the menu a right click on the board picture opens.
    std::string menuState() {
        std::string state;
        // Looked for until it is up: on a loaded machine the menu may open well after the click.
        QTimer reader;
        QObject::connect(&reader, &QTimer::timeout, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu || !state.empty())
                return;
            const QList<QAction*> items = menu->actions();
            state = std::string(items[0]->isEnabled() ? "C" : "-") + (items[1]->isEnabled() ? "D" : "-") +
                    (items[2]->isEnabled() ? "L" : "-");
            menu->close();
        });
        reader.start(20);
        QTest::mouseClick(form->windowHandle(), Qt::RightButton, Qt::NoModifier, QPoint(300, 300));
        waitUntil([&] { return !state.empty(); }, 5000);
        return state;
    }
    // A shortcut reaches only the active window, which a menu that just closed may not have handed back yet.
    void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        QTest::keyClick(form.get(), key, modifiers);
    }
    // The log as its window shows it.
    std::string logText() {
        pressKey(Qt::Key_L, Qt::ControlModifier);
        auto* window = form->findChild<LogWindow*>();
        return window ? window->text()->toPlainText().toStdString() + "\n" : std::string();
    }
};

} // namespace

TEST_F(BoardOwnerTest, EachControlSaysWhatItIsOnTheBoardAndToQbv) {
    startUp();
    EXPECT_EQ(tooltipOver(led(0)), "LED8 (qbv led bit 7)");
    EXPECT_EQ(tooltipOver(led(7)), "LED1 (qbv led bit 0)");
    EXPECT_EQ(tooltipOver(pin(17)), "GPIO 17: header J2, pin 18");
    EXPECT_EQ(tooltipOver(pin(70)), "GPIO 70: header J3, pin 3");
    EXPECT_EQ(tooltipOver(form->PaintBoxButton3), "BUTTON3");
}

TEST_F(BoardOwnerTest, TheMenuOffersWhatTheRulesAllow) {
    fake.setFallback(kFakeWrite, FakeJtag::step(0, 0)); // a blank controller: no answer
    ui.answers = {BoxAnswer::No};
    startUp();
    EXPECT_FALSE(form->SpeedButtonConnect->isVisible());
    EXPECT_EQ(menuState(), "CD-"); // after No: Connect from the menu, though its button stays hidden
    fake.setFallback(kFakeWrite, FakeJtag::step(0));
    pressKey(Qt::Key_F5); // the shortcut goes through the Connect handler
    ASSERT_TRUE(waitUntil([&] { return controlsShown(); }));
    EXPECT_EQ(menuState(), "-DL");
    clickOn(led(3));
    form->AllLedsOff();
    const std::vector<uint8_t> sent = fake.received();
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(std::vector<uint8_t>(sent.end() - 2, sent.end()), (std::vector<uint8_t>{0x01, 0x00}));
    EXPECT_FALSE(led(3)->Down());
}

TEST_F(BoardOwnerTest, TheMenuOffersNoConnectOrDownloadWhileAJobRuns) {
    qbv::test::TemporaryDirectory toolChain;
    qbv::test::installTestProgrammer(toolChain.path() / "bin" /
                                     (std::string("quartus_pgm") + QBV_EXE_SUFFIX));
    qbv::test::RegisteredInstall registered(toolChain.path().string());
    std::ofstream(directory.path() / "QBV_Control_Panel.pof") << "design";
    startUp();
    qbv::test::ProgrammerOrders orders(3, 600);
    std::string during;
    QTimer::singleShot(80, [&] { during = menuState(); });
    clickOn(form->SpeedButtonDownload);
    EXPECT_EQ(during, "---");
}

TEST_F(BoardOwnerTest, TheLogTellsConnectionsCommandsAndALostLink) {
    startUp();
    clickOn(led(0));
    fake.answerKeyReads(0x02);
    ASSERT_TRUE(waitUntil([&] { return keysShown() == 0x02; }));
    fake.setFallback(kFakeRead, FakeJtag::step(0, 0, -1, 100));
    ASSERT_TRUE(waitUntil([&] { return !controlsShown(); }));
    const std::string log = logText();
    EXPECT_THAT(log, HasSubstr("Connect: commands 00 (ping) and 06 (read keys) answered, keys 0x00"));
    EXPECT_THAT(log, HasSubstr("Command 01 80: sent"));
    EXPECT_THAT(log, HasSubstr("Keys 0x02: BUTTON2 pressed"));
    EXPECT_THAT(log, HasSubstr("Command 06 (read keys): no reply"));
    EXPECT_THAT(log, HasSubstr("Lost FPGA connection"));

    qbv::test::TemporaryDirectory saved;
    ASSERT_TRUE(form->findChild<LogWindow*>()->saveTo(QString::fromStdString(saved.file("panel.log"))));
    std::ifstream file(saved.file("panel.log"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), log);
}

TEST_F(BoardOwnerTest, AboutNamesTheVersionTheLibraryItsEditionAndTheToolChain) {
    startUp();
    pressKey(Qt::Key_F1);
    ASSERT_FALSE(ui.boxes.empty());
    EXPECT_THAT(ui.boxes.back().text, HasSubstr("QB-vela Control Panel 1.0.0"));
    EXPECT_THAT(ui.boxes.back().text, HasSubstr(directory.libraryPath()));
    EXPECT_THAT(ui.boxes.back().text, HasSubstr("Edition: the board maker's"));
    EXPECT_THAT(ui.boxes.back().text, HasSubstr("FPGA vendor's tool chain: none was found"));
}
