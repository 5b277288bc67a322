// The panel as a process of its own. Ended by the signals a terminal or the system sends: at once when
// nothing runs, and, during a script's programming job, once the programmer has ended and the close's
// grace is over, with the script answered and no connection after the job; either way the script socket
// goes with it. And the edges of its life as scripts meet them: its start, its end, a full panel.

#include "BoardProcess.h"
#include "platform/LocalChannel.h"
#include "platform/ProgramLocation.h"
#include "session/ScriptProtocol.h"
#include "sim/core/WireProtocol.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>
#include <csignal>
#include <memory>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace qbv::test {
namespace {

struct Row {
    const char* name;
    int signal;
    bool duringJob;
};

void PrintTo(const Row& row, std::ostream* out) {
    *out << row.name;
}

class PanelProcessTest : public testing::Test {
protected:
    static QString program(const char* name) {
        return QString::fromStdString(qbv::platform::executableDirectory()) + QString::fromLatin1(name);
    }
    static bool served() {
        platform::LocalChannel channel;
        return channel.open(platform::localServerAddress(session::panelServerName(
                   qbv::platform::executableDirectory()))) == platform::LocalChannel::Opened::Yes;
    }
    static bool waitFor(const std::function<bool()>& condition, int timeoutMs) {
        QElapsedTimer waited;
        waited.start();
        while (!condition()) {
            if (waited.elapsed() > timeoutMs)
                return false;
            QTest::qWait(10);
        }
        return true;
    }

    // bin/qbv run to its end, and how long it took.
    static int qbv(const QStringList& arguments, qint64* took = nullptr, std::string* said = nullptr) {
        QElapsedTimer timer;
        timer.start();
        QProcess run;
        run.start(program("qbv"), arguments);
        run.waitForFinished(60000);
        if (took)
            *took = timer.elapsed();
        if (said)
            *said = run.readAllStandardError().toStdString();
        return run.exitStatus() == QProcess::NormalExit ? run.exitCode() : -1;
    }

    void SetUp() override { startPanel(); }
    void startPanel(bool connected = true) {
        ASSERT_TRUE(board.ready());
        qputenv(sim::wire::kBoardNameVariable, QByteArray::fromStdString(board.name()));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("QBV_PGM_DURATION_MS"), QStringLiteral("1500"));
        panel.setProcessEnvironment(environment);
        panel.start(program("QBV_Control_Panel"), {});
        ASSERT_TRUE(panel.waitForStarted());
        ASSERT_TRUE(waitFor([] { return served(); }, 15000));
        // Connected once a script's ping goes through it.
        if (connected) {
            ASSERT_TRUE(waitFor([] { return qbv({QStringLiteral("ping")}) == 0; }, 15000));
        }
    }
    void TearDown() override {
        qunsetenv(sim::wire::kBoardNameVariable);
        if (panel.state() != QProcess::NotRunning) {
            panel.kill();
            panel.waitForFinished();
        }
    }

    BoardProcess board;
    QProcess panel;
    sim::BoardState state;
};

class PanelEndTest : public PanelProcessTest, public testing::WithParamInterface<Row> {};

TEST_P(PanelEndTest, EndsOnceTheWorkAllows) {
    const Row& row = GetParam();
    QProcess script;
    if (row.duringJob) {
        script.start(program("qbv"), {QStringLiteral("program")});
        ASSERT_TRUE(waitFor([this] { return board.control().state(state) && !state.linkOpen; }, 10000));
    }
    QElapsedTimer sinceSignal;
    sinceSignal.start();
    ASSERT_EQ(::kill(static_cast<pid_t>(panel.processId()), row.signal), 0);
    ASSERT_TRUE(panel.waitForFinished(10000));
    const qint64 took = sinceSignal.elapsed();
    EXPECT_EQ(panel.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(panel.exitCode(), 0);
    EXPECT_FALSE(served());
    if (!row.duringJob) {
        EXPECT_LT(took, 1000);
        return;
    }
    EXPECT_GE(took, 2000); // the close's grace, the programmer's end
    ASSERT_TRUE(script.waitForFinished(10000));
    EXPECT_EQ(script.exitCode(), 0) << script.readAllStandardError().toStdString(); // programmed, and told so
    ASSERT_TRUE(board.control().state(state));
    EXPECT_TRUE(state.programmed);
    // No connection after the job: the script asked the board itself, over a link it closed as it ended.
    EXPECT_TRUE(waitFor([this] { return board.control().state(state) && !state.linkOpen; }, 2000));
}

const Row kRows[] = {
    {"TermWhenIdle", SIGTERM, false},
    {"HangUpWhenIdle", SIGHUP, false},
    {"InterruptDuringAJob", SIGINT, true},
    {"TermDuringAJob", SIGTERM, true},
};

INSTANTIATE_TEST_SUITE_P(Signals, PanelEndTest, testing::ValuesIn(kRows),
                         [](const testing::TestParamInfo<Row>& info) {
                             return std::string(info.param.name);
                         });

class PanelStartTest : public PanelProcessTest {
protected:
    void SetUp() override {}
};

TEST_F(PanelStartTest, AScriptAsTheWindowAppearsWaitsForTheFirstConnection) {
    startPanel(false);
    EXPECT_EQ(qbv({QStringLiteral("--wait"), QStringLiteral("10"), QStringLiteral("ping")}), 0);
}

TEST_F(PanelProcessTest, AScriptWaitingOnAClosingPanelGoesOnOnlyOnceThePanelHasEnded) {
    QProcess job;
    job.start(program("qbv"), {QStringLiteral("program")});
    ASSERT_TRUE(waitFor([this] { return board.control().state(state) && !state.linkOpen; }, 10000));
    ASSERT_EQ(::kill(static_cast<pid_t>(panel.processId()), SIGTERM), 0);
    QTest::qWait(100);
    std::string said;
    EXPECT_EQ(qbv({QStringLiteral("led"), QStringLiteral("0xff")}, nullptr, &said), 8);
    EXPECT_THAT(said, testing::HasSubstr("The control panel is closing."));
    // The panel ends once its programmer has ended and the close's grace (2 s) is over: only then does the
    // waiting script set the LEDs, over its own link.
    qint64 took = 0;
    EXPECT_EQ(
        qbv({QStringLiteral("--wait"), QStringLiteral("20"), QStringLiteral("led"), QStringLiteral("0xff")},
            &took),
        0);
    EXPECT_GE(took + 200, 2000);
    EXPECT_TRUE(panel.waitForFinished(1000));
    ASSERT_TRUE(board.control().state(state));
    EXPECT_EQ(state.leds, 0xff);
    job.waitForFinished(10000);
}

TEST_F(PanelProcessTest, AFullPanelAnswersBusyAndIsWaitedFor) {
    std::vector<std::unique_ptr<platform::LocalChannel>> held;
    for (int client = 0; client < 16; ++client) {
        held.push_back(std::make_unique<platform::LocalChannel>());
        ASSERT_EQ(held.back()->open(platform::localServerAddress(
                      session::panelServerName(qbv::platform::executableDirectory()))),
                  platform::LocalChannel::Opened::Yes);
    }
    QTest::qWait(200);
    std::string said;
    EXPECT_EQ(qbv({QStringLiteral("ping")}, nullptr, &said), 8);
    EXPECT_THAT(said, testing::HasSubstr("serves too many scripts"));
    QProcess waiting;
    waiting.start(program("qbv"), {QStringLiteral("--wait"), QStringLiteral("10"), QStringLiteral("ping")});
    QTest::qWait(500);
    held.clear();
    ASSERT_TRUE(waiting.waitForFinished(15000));
    EXPECT_EQ(waiting.exitCode(), 0);
}

TEST_F(PanelProcessTest, AStoppedPanelWithAFullQueueLeavesEveryScriptToItsDeadline) {
    const pid_t pid = static_cast<pid_t>(panel.processId());
    ASSERT_EQ(::kill(pid, SIGSTOP), 0);
    std::vector<std::unique_ptr<platform::LocalChannel>> queued;
    for (int client = 0; client < 200; ++client) {
        auto channel = std::make_unique<platform::LocalChannel>();
        if (channel->open(
                platform::localServerAddress(session::panelServerName(qbv::platform::executableDirectory())),
                100) != platform::LocalChannel::Opened::Yes)
            break;
        queued.push_back(std::move(channel));
    }
    qint64 took = 0;
    std::string said;
    EXPECT_EQ(qbv({QStringLiteral("--wait"), QStringLiteral("3"), QStringLiteral("ping")}, &took, &said), 8)
        << said;
    EXPECT_LT(took, 3000 + 2500); // the wait, and one last try's time-out
    ::kill(pid, SIGCONT);
}

} // namespace
} // namespace qbv::test
