// bin/qbv against a headless virtual board: what a script sees, and what the board then shows.

#include "QbvProcess.h"
#include "board/Jtagport.h"
#include "platform/Environment.h"
#include "platform/ProgramLocation.h"
#include "sim/core/SocketIo.h"
#include "sim/core/WireProtocol.h"
#include "tests/sim/BoardProcess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QThread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include <unistd.h>

using namespace qbv;
using testing::AllOf;
using testing::ElementsAre;
using testing::HasSubstr;

namespace {

constexpr int kLineTimeoutMs = 5000;

QJsonObject jsonObject(const std::string& text) {
    return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
}

struct EndToEndTest : testing::Test {
    test::BoardProcess board;

    void SetUp() override { ASSERT_TRUE(board.ready()); }

    sim::BoardState state() {
        sim::BoardState s;
        EXPECT_TRUE(board.control().state(s)) << board.control().lastReply();
        return s;
    }
    // qbv closes its link on the way out; the board notices the closed socket a moment later.
    bool linkClosesSoon() {
        for (int i = 0; i < 100; ++i) {
            if (!state().linkOpen)
                return true;
            QThread::msleep(20);
        }
        return false;
    }
    int qbv(const QStringList& arguments, std::string& out, bool childEndsIgnored = false) {
        return test::QbvProcess::run(board.name(), arguments, out, childEndsIgnored);
    }
};

// Started normally, and with SIGCHLD ignored, which would make the programmer's end unreadable.
struct ProgramEndToEndTest : EndToEndTest, testing::WithParamInterface<bool> {};
INSTANTIATE_TEST_SUITE_P(ChildEnds, ProgramEndToEndTest, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "Ignored" : "Default";
                         });

// The link held by another qbv, or the board full of idle clients.
struct LinkInUseEndToEndTest : EndToEndTest, testing::WithParamInterface<bool> {};
INSTANTIATE_TEST_SUITE_P(HeldBy, LinkInUseEndToEndTest, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "IdleClientsFillingTheBoard" : "AnotherQbv";
                         });

// A link to the board that another program holds, as the panel holds one, for as long as it lives.
class HeldLink {
public:
    explicit HeldLink(const std::string& boardName) {
        platform::setEnvironmentVariable(sim::wire::kBoardNameVariable, boardName);
        opened_ = port_.Open();
    }
    ~HeldLink() {
        port_.Close();
        platform::setEnvironmentVariable(sim::wire::kBoardNameVariable, "");
    }
    HeldLink(const HeldLink&) = delete;
    HeldLink& operator=(const HeldLink&) = delete;
    bool opened() const { return opened_; }

private:
    TJtagPort port_{platform::executableDirectory()}; // the virtual board's library, beside the suites
    bool opened_ = false;
};

// qbv while another program holds the link.
struct HeldLinkCase {
    const char* name;
    QStringList arguments;
    int interruptAfterMs; // Ctrl+C after so long; -1 for none
    int exitCode;
    int withinMs;
    const char* firstError; // the first line of standard error: the specific reason comes first
};

const HeldLinkCase kHeldLinkCases[] = {
    {"InUse",
     {"ping"},
     -1,
     3,
     3000,
     "qbv: The link is in use by another program: close the control panel or the other qbv, or let qbv wait "
     "for it with --wait SECONDS."},
    {"WaitRunsOut",
     {"--wait", "1", "ping"},
     -1,
     3,
     4000,
     "qbv: The link is still in use by another program after waiting 1 s."},
    {"CtrlCEndsTheWait", {"--wait", "8", "--json", "ping"}, 300, 130, 2000, "qbv: interrupted"},
    {"CtrlCEndsTheWaitToProgram", {"--wait", "8", "program"}, 300, 130, 2000, "qbv: interrupted"},
};

void PrintTo(const HeldLinkCase& row, std::ostream* out) {
    *out << row.name;
}

struct HeldLinkTest : EndToEndTest, testing::WithParamInterface<HeldLinkCase> {};
INSTANTIATE_TEST_SUITE_P(Cases, HeldLinkTest, testing::ValuesIn(kHeldLinkCases),
                         [](const testing::TestParamInfo<HeldLinkCase>& info) { return info.param.name; });

} // namespace

TEST_P(HeldLinkTest, SaysWhyAndEndsInTime) {
    const HeldLinkCase& row = GetParam();
    HeldLink held(board.name());
    ASSERT_TRUE(held.opened());
    QElapsedTimer clock;
    clock.start();
    test::QbvProcess qbv(board.name(), row.arguments);
    if (row.interruptAfterMs >= 0) {
        QThread::msleep(static_cast<unsigned long>(row.interruptAfterMs));
        qbv.interrupt();
    }
    EXPECT_EQ(qbv.waitForExit(kLineTimeoutMs), row.exitCode);
    EXPECT_LT(clock.elapsed(), row.withinMs);
    const std::string errors = qbv.standardError();
    EXPECT_EQ(errors.substr(0, errors.find('\n')), row.firstError) << errors;
}

TEST_F(EndToEndTest, LedMaskLightsLed8AndLed1) {
    std::string out;
    EXPECT_EQ(qbv({"led", "0x81"}, out), 0);
    EXPECT_EQ(out, "Update LED success: mask 0x81, LEDs on: LED8 LED1\n");
    const sim::BoardState after = state();
    EXPECT_EQ(after.leds, 0x81);
    EXPECT_TRUE(linkClosesSoon());
}

TEST_F(EndToEndTest, PinsSwitchInOneCall) {
    std::string out;
    EXPECT_EQ(qbv({"pin", "87", "on", "3", "on", "3", "off"}, out), 0);
    EXPECT_THAT(state().pins, ElementsAre(87));
}

TEST_F(EndToEndTest, KeysJsonReportsAKeyPressedOnTheBoard) {
    ASSERT_TRUE(board.control().press(2));
    std::string out;
    EXPECT_EQ(qbv({"keys", "--json"}, out), 0);
    const QJsonObject keys = jsonObject(out);
    EXPECT_TRUE(keys.value("ok").toBool());
    EXPECT_EQ(keys.value("state").toInt(), 0x04);
    EXPECT_EQ(keys.value("pressed").toArray(), QJsonArray({QStringLiteral("BUTTON3")}));
}

TEST_F(EndToEndTest, WatchFollowsTheKeysUntilCtrlC) {
    test::QbvProcess watch(board.name(), {"keys", "--watch", "--json"});
    ASSERT_TRUE(watch.started());
    std::string line;
    ASSERT_TRUE(watch.readLine(line, kLineTimeoutMs));
    EXPECT_EQ(jsonObject(line).value("state").toInt(), 0);
    ASSERT_TRUE(board.control().press(0));
    ASSERT_TRUE(watch.readLine(line, kLineTimeoutMs));
    EXPECT_EQ(jsonObject(line).value("pressed").toArray(), QJsonArray({QStringLiteral("BUTTON1")}));
    ASSERT_TRUE(board.control().release(0));
    ASSERT_TRUE(watch.readLine(line, kLineTimeoutMs));
    EXPECT_EQ(jsonObject(line).value("state").toInt(), 0);
    watch.interrupt();
    EXPECT_EQ(watch.waitForExit(kLineTimeoutMs), 0) << watch.standardError();
    EXPECT_TRUE(linkClosesSoon());
}

TEST_F(EndToEndTest, BlankBoardDoesNotAnswer) {
    ASSERT_TRUE(board.control().erase());
    std::string out;
    EXPECT_EQ(qbv({"led", "0xFF", "--json"}, out), 4);
    EXPECT_EQ(jsonObject(out).value("error").toString(),
              QStringLiteral("QB-vela no response (Please try to download Max II code)"));
    EXPECT_EQ(state().leds, 0);
}

TEST_F(EndToEndTest, UnpluggedBoardDoesNotOpen) {
    ASSERT_TRUE(board.control().unplug());
    std::string out;
    EXPECT_EQ(qbv({"ping"}, out), 3);
}

TEST_P(ProgramEndToEndTest, ProgramProgramsABlankBoardThroughTheStandInProgrammer) {
    ASSERT_TRUE(board.control().erase());
    qunsetenv("QUARTUS_ROOTDIR"); // qbv finds the stand-in beside itself
    qputenv("QBV_PGM_DURATION_MS", "200");
    std::string out;
    const int code = qbv({"program", "--json"}, out, GetParam());
    qunsetenv("QBV_PGM_DURATION_MS");
    EXPECT_EQ(code, 0) << out;
    EXPECT_TRUE(jsonObject(out).value("ok").toBool()) << out; // the programmer's words are not among it
    EXPECT_TRUE(state().programmed);
    EXPECT_TRUE(linkClosesSoon()); // it checked the board and closed the link again
}

TEST_F(EndToEndTest, ProgramWithWaitStartsTheProgrammerOnceTheLinkIsFree) {
    ASSERT_TRUE(board.control().erase());
    auto held = std::make_unique<HeldLink>(board.name());
    ASSERT_TRUE(held->opened());
    qputenv("QBV_PGM_DURATION_MS", "200");
    test::QbvProcess program(board.name(), {"--wait", "20", "program"});
    qunsetenv("QBV_PGM_DURATION_MS");
    QThread::msleep(1000);
    EXPECT_FALSE(state().programmed); // the programmer waits with qbv
    held.reset();
    EXPECT_EQ(program.waitForExit(kLineTimeoutMs), 0) << program.standardError();
    EXPECT_TRUE(state().programmed);
}

TEST_P(LinkInUseEndToEndTest, IsSaidAndWaitedForWithWait) {
    std::unique_ptr<test::QbvProcess> watch;
    std::vector<sim::LocalSocket> idle(sim::wire::kMaxLinkClients);
    if (GetParam()) {
        for (sim::LocalSocket& client : idle)
            ASSERT_EQ(client.connectTo(sim::linkSocketPath(board.name())), sim::Opened::Yes);
    } else {
        watch = std::make_unique<test::QbvProcess>(board.name(), QStringList{"keys", "--watch"});
        std::string line;
        ASSERT_TRUE(watch->readLine(line, kLineTimeoutMs)); // it holds the link now
    }
    test::QbvProcess refused(board.name(), {"ping"});
    EXPECT_EQ(refused.waitForExit(kLineTimeoutMs), 3);
    EXPECT_NE(refused.standardError().find("The link is in use by another program"), std::string::npos);

    test::QbvProcess waiting(board.name(), {"--wait", "20", "ping"});
    QThread::msleep(500);
    if (watch)
        watch->interrupt();
    idle.clear();
    EXPECT_EQ(waiting.waitForExit(kLineTimeoutMs), 0) << waiting.standardError();
}

// With XDG_RUNTIME_DIR unset, the sockets lie in ${TMPDIR}/qbv-<uid>. Where someone planted a link there,
// qbv, the board and its control tool each name the folder, its owner and the way out.
TEST(RuntimeFolderEndToEndTest, EveryProgramNamesTheFolderThatIsNotTheUsersOwn) {
    QTemporaryDir temporary;
    const std::string folder =
        QDir(temporary.path()).absolutePath().toStdString() + "/qbv-" + std::to_string(geteuid());
    ASSERT_EQ(symlink("/", folder.c_str()), 0);
    const std::string temporaryBefore = platform::environmentVariable("TMPDIR");
    const std::string runtimeBefore = platform::environmentVariable("XDG_RUNTIME_DIR");
    platform::setEnvironmentVariable("TMPDIR", temporary.path().toStdString());
    platform::setEnvironmentVariable("XDG_RUNTIME_DIR", "");

    test::QbvProcess qbv(sim::defaultBoardName(), {"ping"});
    qbv.waitForExit(kLineTimeoutMs);
    QProcess board;
    board.start(test::BoardProcess::program(), {QStringLiteral("--headless")});
    board.waitForFinished(kLineTimeoutMs);
    sim::BoardControl control(sim::defaultBoardName());
    control.connect();
    const std::string said[] = {qbv.standardError(), board.readAllStandardError().toStdString(),
                                control.lastReply()};

    platform::setEnvironmentVariable("TMPDIR", temporaryBefore);
    platform::setEnvironmentVariable("XDG_RUNTIME_DIR", runtimeBefore);
    for (const std::string& words : said)
        EXPECT_THAT(words, AllOf(HasSubstr(folder), HasSubstr("uid "), HasSubstr("XDG_RUNTIME_DIR")));
}

namespace {

// qbv doctor on the virtual board in each state a user meets: the step that fails and its exit code.
struct DoctorEndToEndCase {
    const char* name;
    void (*arrange)(sim::BoardControl& control);
    bool holdLink; // another program holds the link meanwhile
    int exitCode;
    const char* failedStep; // "" when all pass
};

const DoctorEndToEndCase kDoctorCases[] = {
    {"AllWell", [](sim::BoardControl&) {}, false, 0, ""},
    {"Unplugged", [](sim::BoardControl& c) { ASSERT_TRUE(c.unplug()); }, false, 3, "virtual-board-state"},
    {"Erased", [](sim::BoardControl& c) { ASSERT_TRUE(c.erase()); }, false, 4, "virtual-board-state"},
    {"InUse", [](sim::BoardControl&) {}, true, 3, "link"},
    {"NoBoard", [](sim::BoardControl& c) { ASSERT_TRUE(c.quit()); }, false, 3, "virtual-board"},
};

struct DoctorEndToEndTest : EndToEndTest, testing::WithParamInterface<DoctorEndToEndCase> {};
INSTANTIATE_TEST_SUITE_P(States, DoctorEndToEndTest, testing::ValuesIn(kDoctorCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace

TEST_P(DoctorEndToEndTest, NamesTheStepThatFails) {
    const DoctorEndToEndCase& row = GetParam();
    row.arrange(board.control());
    std::unique_ptr<HeldLink> held;
    if (row.holdLink) {
        held = std::make_unique<HeldLink>(board.name());
        ASSERT_TRUE(held->opened());
    }
    qunsetenv("QUARTUS_ROOTDIR"); // the stand-in beside qbv is the tool chain
    std::string out;
    EXPECT_EQ(qbv({"--json", "doctor"}, out), row.exitCode) << out;
    std::string failed;
    for (const QString& line : QString::fromStdString(out).split('\n', Qt::SkipEmptyParts)) {
        const QJsonObject step = jsonObject(line.toStdString());
        if (step.value("status").toString() == QStringLiteral("failed"))
            failed = step.value("name").toString().toStdString();
    }
    EXPECT_EQ(failed, row.failedStep) << out;
    EXPECT_THAT(out, HasSubstr("its edition: ours, for the virtual board."));
    // Where it opened the link, doctor closed it again (the board that quit has none).
    sim::BoardState after;
    if (!row.holdLink && board.control().state(after)) {
        EXPECT_TRUE(linkClosesSoon());
    }
}
