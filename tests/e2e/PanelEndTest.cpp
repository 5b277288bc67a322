// The panel as a process of its own, ended by the signals a terminal or the system sends: at once when
// nothing runs, and, during a script's programming job, once the programmer has ended and the close's
// grace is over, with the script answered and no connection after the job. Either way the script socket
// goes with it.

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

class PanelEndTest : public testing::TestWithParam<Row> {
protected:
    static QString program(const char* name) {
        return QString::fromStdString(platform::programDirectory()) + QString::fromLatin1(name);
    }
    static bool served() {
        platform::LocalChannel channel;
        return channel.open(platform::localServerAddress(session::panelServerName())) ==
               platform::LocalChannel::Opened::Yes;
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

    void SetUp() override {
        ASSERT_TRUE(board.ready());
        qputenv(sim::wire::kBoardNameVariable, QByteArray::fromStdString(board.name()));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("QBV_PGM_DURATION_MS"), QStringLiteral("1500"));
        panel.setProcessEnvironment(environment);
        panel.start(program("QBV_Control_Panel"), {});
        ASSERT_TRUE(panel.waitForStarted());
        // Connected once a script's ping goes through it.
        ASSERT_TRUE(waitFor([] { return served(); }, 15000));
        ASSERT_TRUE(waitFor(
            [] {
                QProcess ping;
                ping.start(program("qbv"), {QStringLiteral("ping")});
                return ping.waitForFinished(5000) && ping.exitCode() == 0;
            },
            15000));
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
    EXPECT_FALSE(state.linkOpen); // no connection after the job
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

} // namespace
} // namespace qbv::test
