// What the window offers a board owner beyond the board maker's: what each control is, the log, the
// context menu and its shortcuts, About.

#include "tests/app/WindowFixture.h"
#include "tests/programming/ProgrammerTesting.h"

#include "app/CheckWindow.h"
#include "app/EventLog.h"
#include "app/LogWindow.h"
#include "platform/Environment.h"
#include "platform/ProgramLocation.h"
#include "widgets/TImage.h"
#include "widgets/TPaintBox.h"
#include "widgets/TSpeedButton.h"
#include "widgets/TStatusBar.h"
#include "widgets/TTimer.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <filesystem>
#include <fstream>
#include <optional>

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
    // Which of the menu's first four items are enabled, as "CDLK" with '-' for a disabled one.
    std::string menuState() {
        QMenu* menu = openMenu();
        if (!menu)
            return {};
        std::string state;
        for (int item = 0; item < 4; ++item)
            state += menu->actions()[item]->isEnabled() ? "CDLK"[item] : '-';
        menu->close();
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
    EXPECT_EQ(tooltipOver(pin(17)), "GPIO 17: header J2, picture row 1, column 20");
    EXPECT_EQ(tooltipOver(pin(70)), "GPIO 70: header J3, picture row 2, column 1");
    EXPECT_EQ(tooltipOver(form->PaintBoxButton3), "BUTTON3");
}

TEST_F(BoardOwnerTest, TheMenuOffersWhatTheRulesAllow) {
    fake.setFallback(kFakeWrite, FakeJtag::step(0, 0)); // a blank controller: no answer
    ui.answers = {BoxAnswer::No};
    startUp();
    EXPECT_FALSE(form->SpeedButtonConnect->isVisible());
    EXPECT_EQ(menuState(), "CD-K"); // after No: Connect from the menu, though its button stays hidden
    fake.setFallback(kFakeWrite, FakeJtag::step(0));
    pressKey(Qt::Key_F5); // the shortcut goes through the Connect handler
    ASSERT_TRUE(waitUntil([&] { return controlsShown(); }));
    EXPECT_EQ(menuState(), "-DLK");
    clickOn(led(3));
    pickFromMenu(2); // All LEDs off, the item below Download
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
    ASSERT_TRUE(waitUntil([&] { return !during.empty(); }));
    EXPECT_EQ(during, "----");
}

// The check of the connection from the menu, over the panel's link or one of its own: the report line by
// line as qbv doctor gives it, where it stops and what to do; the panel as it was after it.
struct CheckCase {
    const char* name;
    bool connected;    // the start-up connection made, or the link did not open
    bool toolChain;    // a tool chain to program with
    const char* lines; // each check's status and name, as the report gives them
    const char* fix;   // a part of what to do at the failure
};

void PrintTo(const CheckCase& c, std::ostream* out) {
    *out << c.name;
}

class ConnectionCheckTest : public BoardOwnerTest, public testing::WithParamInterface<CheckCase> {};

// clang-format off
const CheckCase kCheckCases[] = {
    {"AllWell", true, true,
     "ok library|ok panel|ok link|ok ping|ok round-trip|ok tool-chain|ok design-file|ok chain-file-folder",
     ""},
    {"NoToolChain", true, false,
     "ok library|ok panel|ok link|ok ping|ok round-trip|failed tool-chain|skipped design-file|"
     "skipped chain-file-folder", "To program the MAX II"},
    {"LinkDoesNotOpen", false, true,
     "ok library|ok panel|failed link|skipped ping|skipped round-trip|skipped tool-chain|skipped design-file|"
     "skipped chain-file-folder", "then check the connection again"},
};
// clang-format on

TEST_P(ConnectionCheckTest, ReportsEachStepAndLeavesThePanelAsItWas) {
    const CheckCase& c = GetParam();
    qbv::test::TemporaryDirectory toolChain;
    qbv::test::installTestProgrammer(toolChain.path() / "bin" /
                                     (std::string("quartus_pgm") + QBV_EXE_SUFFIX));
    std::optional<qbv::test::RegisteredInstall> registered;
    if (c.toolChain)
        registered.emplace(toolChain.path().string());
    std::ofstream(directory.path() / "QBV_Control_Panel.pof") << "design";
    if (!c.connected) {
        fake.setFallback(kFakeInit, FakeJtag::step(-1));
        ui.answers = {BoxAnswer::Ok};
    }
    startUp();
    ASSERT_TRUE(waitForRest());
    const std::string buttons = mainButtons();
    pickFromMenu(3);
    auto* window = form->findChild<CheckWindow*>();
    ASSERT_NE(window, nullptr);
    const std::string summary = c.fix[0] ? "Stopped at the first failure." : "All checks passed.";
    ASSERT_TRUE(waitUntil([&] { return window->report().contains(QString::fromStdString(summary)); }));

    std::string seen;
    for (const QString& line : window->report().split(QLatin1Char('\n'))) {
        const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (words.size() > 2 && QStringList({"ok", "failed", "skipped"}).contains(words[0]))
            seen += (seen.empty() ? "" : "|") + (words[0] + QLatin1Char(' ') + words[1]).toStdString();
    }
    EXPECT_EQ(seen, c.lines);
    const std::string report = window->report().toStdString();
    EXPECT_THAT(report, HasSubstr(c.connected ? "This control panel holds the link"
                                              : "This control panel holds no link now"));
    if (c.fix[0]) {
        EXPECT_THAT(report, HasSubstr(std::string("what to do:") + " "));
        EXPECT_THAT(report, HasSubstr(c.fix));
    }

    // The panel as it was: its buttons, and with the link its controls, which still reach the board, and
    // the keys, still polled.
    EXPECT_EQ(mainButtons(), buttons);
    if (c.connected) {
        clickOn(led(0));
        EXPECT_TRUE(led(0)->Down());
        fake.answerKeyReads(0x02);
        EXPECT_TRUE(waitUntil([&] { return keysShown() == 0x02; }));
    }
    // Check again runs it anew, in a report of its own.
    auto* again = window->findChild<QPushButton*>(QStringLiteral("CheckAgain"));
    ASSERT_TRUE(again->isEnabled());
    QTest::mouseClick(again, Qt::LeftButton);
    EXPECT_FALSE(again->isEnabled()); // while it runs
    ASSERT_TRUE(waitUntil([&] { return again->isEnabled(); }));
    EXPECT_TRUE(window->report().contains(QString::fromStdString(summary)));
    EXPECT_EQ(window->report().count(
                  QRegularExpression(QStringLiteral("^ok +library "), QRegularExpression::MultilineOption)),
              1);

    // Copy takes the report as shown; Esc closes the window.
    QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("CopyReport")), Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), window->report());
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Cases, ConnectionCheckTest, testing::ValuesIn(kCheckCases),
                         [](const testing::TestParamInfo<CheckCase>& info) { return info.param.name; });

TEST_F(BoardOwnerTest, TheLogTellsConnectionsCommandsAndALostLink) {
    startUp();
    clickOn(led(0));
    clickOn(pin(17));
    fake.answerKeyReads(0x02);
    ASSERT_TRUE(waitUntil([&] { return keysShown() == 0x02; }));
    fake.setFallback(kFakeRead, FakeJtag::step(0, 0, -1, 100));
    ASSERT_TRUE(waitUntil([&] { return !controlsShown(); }));
    const std::string log = logText();
    EXPECT_THAT(log, HasSubstr("Connect: commands 00 (ping) and 06 (read keys) answered, keys 0x00"));
    EXPECT_THAT(log, HasSubstr("LED8 on (bytes 01 80)"));
    EXPECT_THAT(log, HasSubstr("GPIO 17 on (bytes 05 91)"));
    EXPECT_THAT(log, HasSubstr("BUTTON2 pressed (key state 0x02)"));
    EXPECT_THAT(log, HasSubstr("Key read: no answer (byte 06)"));
    EXPECT_THAT(log, HasSubstr("Lost FPGA connection"));

    // Saved into a folder named in any script, again over the first file, and nothing else left there.
    qbv::test::TemporaryDirectory saved;
    const std::filesystem::path folder = saved.path() / std::filesystem::u8path("Jöns Ωmega 面板");
    std::filesystem::create_directory(folder);
    const QString path = QString::fromStdU16String((folder / "panel.log").u16string());
    for (int time = 0; time < 2; ++time)
        ASSERT_TRUE(form->findChild<LogWindow*>()->saveTo(path));
    std::ifstream file(folder / "panel.log");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), log);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);

    // It opened at the newest line with the times in view, and Esc closes it.
    auto* window = form->findChild<LogWindow*>();
    EXPECT_EQ(window->text()->verticalScrollBar()->value(), window->text()->verticalScrollBar()->maximum());
    EXPECT_EQ(window->text()->horizontalScrollBar()->value(), 0);
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(BoardOwnerTest, AboutNamesTheVersionTheLibraryItsEditionAndTheToolChain) {
    // As a program started through a link beside it finds its folder: the box shows the path made plain.
    std::filesystem::create_directory(directory.path() / "sub");
    qbv::test::setProgramFolder(directory.directory() + "sub/../");
    startUp();
    pressKey(Qt::Key_F1);
    qbv::test::setProgramFolder(directory.directory());
    ASSERT_FALSE(ui.boxes.empty());
    EXPECT_THAT(ui.boxes.back().text, HasSubstr("QB-vela Control Panel 1.0.0"));
    EXPECT_THAT(ui.boxes.back().text, HasSubstr(directory.libraryPath()));
    EXPECT_THAT(ui.boxes.back().text, HasSubstr("Edition: the board maker's"));
    EXPECT_THAT(ui.boxes.back().text, HasSubstr("FPGA vendor's tool chain: none was found"));
}

// A program folder named in any script reads back exactly wherever the panel names it: the log's connect
// line, About, and the box beneath which it says where the tool chain was looked for.
TEST_F(BoardOwnerTest, AFolderNamedInAnyScriptReadsBackInTheLogAboutAndTheBoxes) {
    const std::string folder = directory.directory() + "Jöns Ωmega 面板" + qbv::platform::pathSeparator();
    std::filesystem::create_directory(std::filesystem::u8path(folder));
    std::filesystem::copy_file(std::filesystem::u8path(directory.libraryPath()),
                               std::filesystem::u8path(folder + qbv::platform::jtagLibraryFileName()));
    qbv::test::setProgramFolder(folder);
    startUp();
    EXPECT_THAT(logText(), HasSubstr(folder + qbv::platform::jtagLibraryFileName()));
    pressKey(Qt::Key_F1);
    ASSERT_TRUE(waitUntil([&] { return !ui.boxes.empty(); }));
    EXPECT_THAT(ui.boxes.back().text, HasSubstr(folder + qbv::platform::jtagLibraryFileName()));
    clickOn(form->SpeedButtonDownload);
    ASSERT_TRUE(waitUntil([&] { return ui.boxes.size() == 2; }));
    EXPECT_THAT(ui.boxes.back().detail, HasSubstr(folder + "quartus"));
    qbv::test::setProgramFolder(directory.directory());
}

TEST_F(BoardOwnerTest, EveryControlIsReachedByTheKeyboardAndNamedForScreenReaders) {
    startUp();
    for (QWidget* control :
         std::initializer_list<QWidget*>{led(0), pin(17), form->PaintBoxButton3, form->SpeedButtonAltera}) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
        ASSERT_NE(accessible, nullptr);
        EXPECT_EQ(accessible->text(QAccessible::Name), control->toolTip());
        EXPECT_NE(control->focusPolicy() & Qt::TabFocus, 0);
    }
    // Tab in reading order: the first pin row comes before the LEDs, the LEDs before the keys.
    std::vector<QWidget*> order{pin(0)};
    for (QWidget* focus = pin(0)->nextInFocusChain(); focus != pin(0); focus = focus->nextInFocusChain())
        if (focus->isVisible() && (focus->focusPolicy() & Qt::TabFocus))
            order.push_back(focus);
    const auto place = [&](QWidget* control) {
        return std::find(order.begin(), order.end(), control) - order.begin();
    };
    EXPECT_LT(place(pin(0)), place(pin(1)));
    EXPECT_LT(place(pin(19)), place(led(0)));
    EXPECT_LT(place(led(7)), place(form->PaintBoxButton4));

    struct Step {
        QWidget* from;
        Qt::Key key;
        QWidget* to;
    };
    for (const Step& step : {Step{led(0), Qt::Key_Right, led(1)}, Step{led(1), Qt::Key_Left, led(0)},
                             Step{pin(0), Qt::Key_Down, pin(18)}, Step{pin(18), Qt::Key_Right, pin(19)},
                             Step{pin(36), Qt::Key_Up, pin(18)}}) {
        form->activateWindow();
        step.from->setFocus(Qt::TabFocusReason);
        QTest::keyClick(step.from, step.key);
        EXPECT_EQ(QApplication::focusWidget(), step.to) << step.from->toolTip().toStdString();
    }
    const QImage unfocused = led(2)->grab().toImage();
    led(2)->setFocus(Qt::TabFocusReason);
    EXPECT_NE(led(2)->grab().toImage(), unfocused); // the ring shows
    fake.clearRecord();
    QTest::keyClick(led(2), Qt::Key_Space);
    EXPECT_TRUE(led(2)->Down());
    EXPECT_THAT(fake.received(), testing::Contains(0x20));

    // Space and Enter switch the focused pin, on and off again, and the focus stays on it.
    pin(2)->setFocus(Qt::TabFocusReason);
    for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Space, Qt::Key_Return, Qt::Key_Return}) {
        fake.clearRecord();
        QTest::keyClick(QApplication::focusWidget(), key);
        EXPECT_EQ(QApplication::focusWidget(), pin(2));
        EXPECT_THAT(fake.received(), testing::Contains(pin(2)->Down() ? 0x82 : 0x02)) << key;
    }
    EXPECT_FALSE(pin(2)->Down());
}

namespace {

// A control as a screen reader reads it; no description when the row leaves it unchecked.
struct Reading {
    QWidget* control;
    QAccessible::Role role;
    const char* name;
    const char* description;
    bool pressed = false;
};

void expectRead(const Reading& read) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(read.control);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), read.role) << read.name;
    EXPECT_EQ(accessible->text(QAccessible::Name), QString::fromUtf8(read.name));
    if (read.description) {
        EXPECT_EQ(accessible->text(QAccessible::Description), QString::fromUtf8(read.description));
    }
    EXPECT_EQ(accessible->state().pressed, read.pressed) << read.name;
}

} // namespace

TEST_F(BoardOwnerTest, AScreenReaderReadsTheMainButtonsTheKeysHeldAndTheStatusLine) {
    startUp();
    fake.answerKeyReads(0x04);
    ASSERT_TRUE(waitUntil([&] { return keysShown() == 0x04; }));
    for (const Reading& read :
         {Reading{form->SpeedButtonDownload, QAccessible::Button, "Download .POF", "Download MAX II Code"},
          Reading{form->SpeedButtonExit, QAccessible::Button, "Exit", "Terminate this program."},
          Reading{form->PaintBoxButton3, QAccessible::Button, "BUTTON3", nullptr, true},
          Reading{form->PaintBoxButton1, QAccessible::Button, "BUTTON1", nullptr, false}})
        expectRead(read);

    fake.setFallback(kFakeRead, FakeJtag::step(0, 0, -1, 100));
    ASSERT_TRUE(waitUntil([&] { return !controlsShown(); }));
    for (const Reading& read :
         {Reading{form->SpeedButtonConnect, QAccessible::Button, "Connect", "Connect Board"},
          Reading{form->StatusBar, QAccessible::StatusBar, "Lost FPGA connection", ""}})
        expectRead(read);
}
