// Each way in (F5, the buttons, the LEDs, the two posted messages, Ctrl+Q) reaches the session's gate from
// the real window, by real keys, clicks and posted messages over the fake library and a test programmer;
// and the rows whose timing only the window has (the start-up tick, the question during work). Every cell
// of the gate's table is the session suite's.

#include "tests/app/WindowFixture.h"
#include "tests/programming/ProgrammerTesting.h"

#include "widgets/TSpeedButton.h"

#include <QCoreApplication>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <optional>

#include <gmock/gmock.h>

using qbv::test::FakeJtag;

namespace {

enum class Start {
    Disconnected, // the link did not open
    Unanswered,   // the controller did not answer and the user said No
    Connected,
    Connecting,              // inside the start-up sequence, while it lets the window settle
    Programming,             // inside a job whose programmer fails after a while
    Programmed,              // inside a job whose programmer succeeds after a while
    JustShown,               // the window on screen, its start-up tick still to come
    JustShownWithoutLibrary, // the same with no library beside the panel: the start-up tick comes while
                             // the first sequence shows the library's own box
    Checking,                // connected, inside a check of the connection on a board slow to answer
};

enum class Input {
    F5,
    ConnectClick,
    Post1025,
    DownloadClick,
    Post1026,
    LedClick,
    QuitNo, // Ctrl+Q, and No to the question if one comes
};

// What the input led to, as the board and the user see it.
struct Seen {
    int sequences = 0; // connection sequences: the library loaded anew, or its load failing in a box
    int jobs = 0;      // programmers started
    int commands = 0;  // LED commands that reached the board
    int questions = 0; // close questions asked
    bool pollingAfter = false;
    bool ledShownLit = false; // the LED clicked shows lit afterwards
    bool hourglassWhenGiven = false;
    bool operator==(const Seen&) const = default;
};

void PrintTo(const Seen& seen, std::ostream* out) {
    *out << "{sequences " << seen.sequences << ", jobs " << seen.jobs << ", commands " << seen.commands
         << ", questions " << seen.questions << ", polling after " << seen.pollingAfter << ", LED lit "
         << seen.ledShownLit << ", hourglass " << seen.hourglassWhenGiven << "}";
}

struct Row {
    const char* name;
    Start start;
    Input input;
    Seen seen;
};

void PrintTo(const Row& row, std::ostream* out) {
    *out << row.name;
}

class GateTest : public qbv::test::WindowTest, public testing::WithParamInterface<Row> {
protected:
    void SetUp() override {
        qbv::test::installTestProgrammer(toolChain.path() / "bin" /
                                         (std::string("quartus_pgm") + QBV_EXE_SUFFIX));
        registered.emplace(toolChain.path().string());
        std::ofstream(directory.path() / "QBV_Control_Panel.pof") << "design";
    }
    void TearDown() override { registered.reset(); }

    // Brings the panel into the row's state and gives the input there: in a waiting state from inside its
    // wait, in a settled one once it has settled.
    void run(const Row& row) {
        const auto give = [this, row] {
            before = count();
            hourglassWhenGiven = hourglass();
            apply(row.input);
        };
        switch (row.start) {
        case Start::Disconnected:
            fake.push(kFakeInit, FakeJtag::step(-1));
            return settled(give);
        case Start::Unanswered:
            fake.setFallback(kFakeWrite, FakeJtag::step(0, 0)); // a blank controller takes nothing
            ui.answers = {BoxAnswer::No};
            return settled([this, give] {
                fake.setFallback(kFakeWrite, FakeJtag::step(0)); // until it is programmed
                give();
            });
        case Start::Connected:
            return settled(give);
        case Start::Connecting: {
            orders.emplace(3, 0);
            fake.push(kFakeRead, FakeJtag::reply({0x00}, 1));
            bool given = false;
            duringCall = [this, give, &given] {
                duringCall = nullptr;
                QTimer::singleShot(0, form.get(), [give, &given] {
                    give();
                    given = true;
                });
            };
            showWindow();
            ASSERT_TRUE(waitUntil([&] { return given; }));
            return;
        }
        case Start::Programming:
        case Start::Programmed:
            orders.emplace(row.start == Start::Programmed ? 0 : 3, 600);
            startUp();
            QTimer::singleShot(0, form.get(), [this, give] {
                waitUntil([this] { return orders->started(); });
                give();
            });
            clickOn(form->SpeedButtonDownload);
            return;
        case Start::Checking:
            // Each key read of the check's round trip takes its time on the board.
            duringCall = [] { QTest::qSleep(30); };
            fake.setFallback(kFakeRead, FakeJtag::reply({0x00}, 30));
            settled([this, give] {
                pickFromMenu(3); // Check the connection...
                ASSERT_TRUE(waitUntil([this] { return hourglass(); }));
                give();
            });
            return;
        case Start::JustShownWithoutLibrary:
            directory.removeLibrary();
            ui.onBox = [](const qbv::test::RecordingBoxes::Box& box) {
                if (box.text.starts_with("fail to load dll"))
                    QTest::qWait(200); // long past the start-up tick
            };
            [[fallthrough]];
        case Start::JustShown:
            orders.emplace(3, 600);
            showWindow();
            give();
            return;
        }
    }

    void settled(const std::function<void()>& give) {
        orders.emplace(3, 0);
        startUp();
        give();
    }

    void apply(Input input) {
        switch (input) {
        case Input::F5:
            return pressKey(Qt::Key_F5);
        case Input::ConnectClick:
            return clickOn(form->SpeedButtonConnect);
        case Input::Post1025:
            return post(1025);
        case Input::DownloadClick:
            return clickOn(form->SpeedButtonDownload);
        case Input::Post1026:
            return post(1026);
        case Input::LedClick:
            return clickOn(led(0));
        case Input::QuitNo:
            ui.answers.push_front(BoxAnswer::No);
            return pressKey(Qt::Key_Q, Qt::ControlModifier);
        }
    }

    void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        QTest::keyClick(form.get(), key, modifiers);
    }
    // The window's private messages, posted by their numbers as any sender in the program would.
    void post(int message) { QCoreApplication::postEvent(form.get(), new QEvent(QEvent::Type(message))); }

    Seen count() const {
        Seen now;
        now.sequences = fake.count(kFakeLoad);
        now.questions = 0;
        for (const std::string& text : ui.texts()) {
            now.sequences += text.starts_with("fail to load dll") ? 1 : 0;
            now.questions += text == "Process is not terminated. Are you sure want to quit?" ? 1 : 0;
        }
        now.jobs = orders ? static_cast<int>(orders->recorded("module").size()) : 0;
        for (const FakeCall& write : fake.calls(kFakeWrite))
            now.commands += write.accepted == 2 && write.bytes[0] == 0x01 ? 1 : 0;
        return now;
    }

    // Everything the input started has ended; is the panel reading the keys now?
    bool polling() {
        QTest::qWait(150);
        const int reads = fake.count(kFakeRead);
        QTest::qWait(150);
        return fake.count(kFakeRead) > reads;
    }

    qbv::test::TemporaryDirectory toolChain;
    std::optional<qbv::test::RegisteredInstall> registered;
    std::optional<qbv::test::ProgrammerOrders> orders;
    Seen before;
    bool hourglassWhenGiven = false;
};

TEST_P(GateTest, InputInState) {
    const Row& row = GetParam();
    run(row);
    ASSERT_TRUE(orders);
    // Whatever the input started has ended, or the panel has.
    ASSERT_TRUE(waitUntil([this] { return !form->isVisible() || waitForRest(50); }));
    Seen seen = count();
    seen.sequences -= before.sequences;
    seen.jobs -= before.jobs;
    seen.commands -= before.commands;
    seen.questions -= before.questions;
    seen.pollingAfter = polling();
    seen.ledShownLit = led(0)->Down();
    seen.hourglassWhenGiven = hourglassWhenGiven;
    EXPECT_EQ(seen, row.seen) << testing::PrintToString(ui.texts());
}

// clang-format off
const Row kRows[] = {
    {"ConnectAfterAFailedOpenRunsASequence", Start::Disconnected, Input::ConnectClick, {1, 0, 0, 0, true}},
    {"F5AfterNoRunsASequence", Start::Unanswered, Input::F5, {1, 0, 0, 0, true}},
    {"DownloadAfterNoRunsAJob", Start::Unanswered, Input::DownloadClick, {0, 1, 0, 0, false}},
    {"Message1025WhileConnectedIsDropped", Start::Connected, Input::Post1025, {0, 0, 0, 0, true}},
    {"AnLedClickWhileConnectedReachesTheBoard", Start::Connected, Input::LedClick, {0, 0, 1, 0, true, true}},
    {"AnLedClickDuringACheckIsDroppedAndLeftUnlit", Start::Checking, Input::LedClick, {0, 0, 0, 0, true, false, true}},
    {"QuitDuringASequenceAsksAndNoLetsItFinish", Start::Connecting, Input::QuitNo, {0, 0, 0, 1, true, false, true}},
    {"Message1026DuringAJobIsDropped", Start::Programming, Input::Post1026, {0, 0, 0, 0, false, false, true}},
    {"NoToQuitDuringAJobLeavesTheKeysPolledAfterIt", Start::Programmed, Input::QuitNo, {1, 0, 0, 1, true, false, true}},
    {"DownloadBeforeTheStartUpTickRunsNoSequenceInsideTheJob", Start::JustShown, Input::DownloadClick, {0, 1, 0, 0, false}},
    {"F5AsTheWindowAppearsWithoutTheLibraryRunsOneSequence", Start::JustShownWithoutLibrary, Input::F5, {1, 0, 0, 0, false}},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(StateAndInput, GateTest, testing::ValuesIn(kRows),
                         [](const testing::TestParamInfo<Row>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
