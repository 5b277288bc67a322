// qbv beside a running panel, which holds the board: each request goes through the panel's gate and shows
// in the panel, a busy panel refuses (or, with --wait, is waited for), another user gets nowhere, and a
// request that is no request ends its connection while the panel goes on.

#include "PanelFixture.h"
#include "app/CheckWindow.h"
#include "app/LogWindow.h"
#include "platform/Environment.h"
#include "platform/LocalChannel.h"
#include "platform/ProgramLocation.h"
#include "session/ScriptProtocol.h"
#include "widgets/TSpeedButton.h"

#include <QPlainTextEdit>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <functional>
#include <future>
#include <sys/wait.h>
#include <unistd.h>

#include <gmock/gmock.h>

namespace qbv::test {
namespace {

using testing::HasSubstr;

struct QbvRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

struct Row {
    const char* name;
    std::function<void(class ScriptsThroughPanelTest&)> arrange; // before qbv runs
    bool duringJob;                                              // qbv runs while a programming job does
    QStringList arguments;
    int exitCode;
    const char* said; // on standard output, or standard error for a failure
    std::function<bool(ScriptsThroughPanelTest&)> seen;
};

void PrintTo(const Row& row, std::ostream* out) {
    *out << row.name;
}

class ScriptsThroughPanelTest : public PanelTest, public testing::WithParamInterface<Row> {
public:
    using PanelTest::board;
    using PanelTest::boardState;

    // bin/qbv, run while the panel in this process goes on handling its events: at once, or once the
    // panel's programming job runs (the stand-in programmer, slowed down).
    QbvRun qbv(const QStringList& arguments, bool duringJob) {
        QProcess process;
        bool started = false;
        const auto start = [&] {
            started = true;
            process.start(QString::fromStdString(qbv::platform::executableDirectory()) +
                              QStringLiteral("qbv"),
                          arguments);
        };
        QTimer watch;
        if (duringJob) {
            platform::setEnvironmentVariable("QUARTUS_ROOTDIR",
                                             qbv::platform::executableDirectory() + "quartus");
            platform::setEnvironmentVariable("QBV_PGM_DURATION_MS", "1500");
            QObject::connect(&watch, &QTimer::timeout, [&] {
                if (status() == "Download Max II Code..." && !started)
                    start();
            });
            watch.start(20);
            clickOn(form->SpeedButtonDownload); // the programmer starts inside the click
            platform::setEnvironmentVariable("QBV_PGM_DURATION_MS", "");
            EXPECT_TRUE(waitUntil([&] { return started; }));
        } else {
            start();
        }
        EXPECT_TRUE(waitUntil([&] { return process.state() == QProcess::NotRunning; }));
        return {process.exitCode(), process.readAllStandardOutput().toStdString(),
                process.readAllStandardError().toStdString()};
    }

    // The log as its window shows it, opened as a user opens it.
    std::string logText() {
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        QTest::keyClick(form.get(), Qt::Key_L, Qt::ControlModifier);
        auto* window = form->findChild<LogWindow*>();
        return window ? window->text()->toPlainText().toStdString() : std::string();
    }

    // One exchange on the panel's socket from a thread of its own, as another program would make it.
    std::string exchange(const std::string& line) {
        auto reply = std::async(std::launch::async, [line] {
            platform::LocalChannel channel;
            if (channel.open(platform::localServerAddress(session::panelServerName(
                    qbv::platform::executableDirectory()))) != platform::LocalChannel::Opened::Yes)
                return std::string("no panel");
            std::string answer;
            channel.send(line, 2000);
            channel.receiveLine(answer, 8000);
            std::string more;
            const bool closed = !channel.receiveLine(more, 2000) && !channel.isOpen();
            return answer + (closed ? " [closed]" : "");
        });
        EXPECT_TRUE(
            waitUntil([&] { return reply.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
        return reply.get();
    }
};

const Row kRows[] = {
    {"PingIsThePanels", {}, false, {"ping"}, 0, "Connect QB-vela success", {}},
    {"LedsAreSetAndShownAsTheirButtons",
     {},
     false,
     {"led", "0x81"},
     0,
     "Update LED success",
     [](ScriptsThroughPanelTest& t) {
         return t.boardState().leds == 0x81 && t.led(0)->Down() && t.led(7)->Down() && !t.led(3)->Down() &&
                t.status() == "Update LED success" &&
                t.logText().find("qbv: LED8 on, LED1 on (bytes 01 81)") != std::string::npos;
     }},
    {"APinIsSetAndShown",
     {},
     false,
     {"pin", "87", "on"},
     0,
     "Update GPIO success",
     [](ScriptsThroughPanelTest& t) {
         return t.boardState().pins == std::vector<int>{87} && t.pin(87)->Down();
     }},
    {"KeysAreThePanelsOwnPolls",
     [](ScriptsThroughPanelTest& t) {
         ASSERT_TRUE(t.board.control().press(1));
         ASSERT_TRUE(t.waitUntil([&] { return t.keysShown() == 0x02; }));
     },
     false,
     {"keys"},
     0,
     "keys 0x02: BUTTON2 pressed",
     {}},
    {"RefusedWhileTheJobRuns",
     {},
     true,
     {"led", "0x81"},
     8,
     "The control panel is ", // programming, or connecting again at the job's end

     [](ScriptsThroughPanelTest& t) { return t.boardState().leds == 0; }},
    {"WaitedForWhileTheJobRuns",
     {},
     true,
     {"--wait", "30", "led", "0x81"},
     0,
     "Update LED success",
     [](ScriptsThroughPanelTest& t) { return t.boardState().leds == 0x81; }},
};

TEST_P(ScriptsThroughPanelTest, Request) {
    const Row& row = GetParam();
    startUp();
    ASSERT_TRUE(controlsShown());
    if (row.arrange)
        row.arrange(*this);
    const QbvRun run = qbv(row.arguments, row.duringJob);
    EXPECT_EQ(run.exitCode, row.exitCode) << run.err;
    EXPECT_THAT(row.exitCode == 0 ? run.out : run.err, HasSubstr(row.said)) << run.out << run.err;
    if (row.seen) {
        EXPECT_TRUE(waitUntil([&] { return row.seen(*this); }));
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, ScriptsThroughPanelTest, testing::ValuesIn(kRows),
                         [](const testing::TestParamInfo<Row>& info) {
                             return std::string(info.param.name);
                         });

using PanelSocketTest = ScriptsThroughPanelTest;

TEST_F(PanelSocketTest, ARequestThatIsNoRequestEndsItsConnectionAndThePanelGoesOn) {
    startUp();
    for (const std::string& line :
         {std::string("garbage\n"), std::string(R"({"do":"led","mask":256})") + "\n",
          std::string(2000, 'x') + "\n"}) {
        EXPECT_THAT(exchange(line),
                    testing::AllOf(HasSubstr(R"("why":"bad-request")"), HasSubstr("[closed]")))
            << line.substr(0, 40);
    }
    EXPECT_EQ(exchange(R"({"do":"ping"})"
                       "\n"),
              R"({"keys":0,"ok":true})");
}

// A script watching the keys goes on hearing them through a check of the connection, which holds the polls
// back only while it runs.
TEST_F(PanelSocketTest, AWatchGoesOnThroughACheckOfTheConnection) {
    startUp();
    std::promise<void> watching;
    std::future<void> watched = watching.get_future();
    auto lines = std::async(std::launch::async, [&watching] {
        std::vector<std::string> heard;
        platform::LocalChannel channel;
        channel.open(
            platform::localServerAddress(session::panelServerName(qbv::platform::executableDirectory())));
        channel.send(R"({"do":"watch"})"
                     "\n",
                     2000);
        for (std::string line; heard.size() < 2 && channel.receiveLine(line, 10000);) {
            heard.push_back(line);
            if (heard.size() == 1)
                watching.set_value();
        }
        return heard;
    });
    ASSERT_TRUE(
        waitUntil([&] { return watched.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));

    pickFromMenu(3); // Check the connection…
    auto* window = form->findChild<CheckWindow*>();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(waitUntil([&] { return window->report().contains(QStringLiteral("chain-file-folder")); }));
    // The panel looked at the virtual board through the way the window handed its session.
    EXPECT_THAT(window->report().toStdString(),
                HasSubstr("Plugged in and programmed; this control panel holds"));

    ASSERT_TRUE(board.control().press(1));
    ASSERT_TRUE(
        waitUntil([&] { return lines.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
    EXPECT_THAT(lines.get(), testing::ElementsAre(HasSubstr(R"("keys":0)"), HasSubstr(R"("keys":2)")));
}

TEST_F(PanelSocketTest, AnotherUserCannotReachThePanel) {
    if (geteuid() != 0)
        GTEST_SKIP() << "acting as another user needs root";
    startUp();
    const std::string address =
        platform::localServerAddress(session::panelServerName(qbv::platform::executableDirectory()));
    const pid_t child = fork();
    if (child == 0) {
        setresgid(65534, 65534, 65534);
        setresuid(65534, 65534, 65534);
        platform::LocalChannel channel;
        _exit(channel.open(address) == platform::LocalChannel::Opened::NoServer ? 0 : 1);
    }
    int status = 0;
    ASSERT_TRUE(waitUntil([&] { return waitpid(child, &status, WNOHANG) == child; }));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "another user reached " << address;
}

} // namespace
} // namespace qbv::test
