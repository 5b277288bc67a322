// The qbv-virtual-board program itself: it outlives running out of handles, and answers --help and
// --version where no display is.

#include "BoardProcess.h"
#include "VirtualJtag.h"

#include "board/BoardProtocol.h"
#include "platform/Environment.h"
#include "sim/core/SocketPath.h"
#include "sim/core/WireProtocol.h"

#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

using namespace qbv;

namespace {

// Handles for a board: too few for the sessions it may hold at once, or enough for them.
constexpr int kFewOpenFiles = 48;
constexpr int kEnoughOpenFiles = 128;
constexpr int kFloodConnections = 600;

bool eventually(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

using Refused = std::array<bool, 2>; // by the link socket, by the control socket

// Connects to the link and the control socket in turn, holding every connection, until each of them
// has refused one or the flood is over. A refusal means the board failed to accept and its server closed.
Refused floodUntilRefused(const std::string& boardName) {
    const std::array paths{sim::linkSocketPath(boardName), sim::controlSocketPath(boardName)};
    std::vector<sim::LocalSocket> held;
    Refused refused{false, false};
    for (int i = 0; i < kFloodConnections && !(refused[0] && refused[1]); ++i) {
        sim::LocalSocket socket;
        if (socket.connectTo(paths[i % 2]) == sim::Opened::Yes)
            held.push_back(std::move(socket));
        else
            refused[i % 2] = true;
    }
    return refused;
}

} // namespace

TEST(BoardUnderFloodTest, IdleClientsBeyondItsSessionsLeaveItHandlesToAccept) {
    test::BoardProcess board({}, kEnoughOpenFiles);
    ASSERT_TRUE(board.ready());
    EXPECT_EQ(floodUntilRefused(board.name()), (Refused{false, false}));
}

TEST(BoardUnderFloodTest, ServesLinkAndControlAgainOnceTheFloodIsGone) {
    test::BoardProcess board({}, kFewOpenFiles);
    ASSERT_TRUE(board.ready());
    ASSERT_EQ(floodUntilRefused(board.name()), (Refused{true, true})) << "the board never ran out of handles";

    // A new client: the board process's own was connected before the flood and answers all along.
    sim::BoardControl control(board.name());
    sim::BoardState state;
    EXPECT_TRUE(eventually([&] { return control.state(state); })) << control.lastReply();
    test::VirtualJtag jtag;
    ASSERT_TRUE(jtag.loaded());
    platform::setEnvironmentVariable(sim::wire::kBoardNameVariable, board.name());
    EXPECT_TRUE(eventually([&] { return jtag.init() == 0; }));
    EXPECT_EQ(jtag.write({board::kPing}).count, 1);
    platform::setEnvironmentVariable(sim::wire::kBoardNameVariable, "");
}

struct CommandLineCase {
    const char* option;
    const char* output; // a pattern for the whole of standard output
};

void PrintTo(const CommandLineCase& c, std::ostream* os) {
    *os << c.option;
}

class BoardCommandLineTest : public testing::TestWithParam<CommandLineCase> {};

TEST_P(BoardCommandLineTest, AnswersWithoutADisplay) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(variable));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(test::BoardProcess::program(), {QString::fromLatin1(GetParam().option)});
    ASSERT_TRUE(process.waitForFinished(20000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
    const QString output = QString::fromLocal8Bit(process.readAllStandardOutput());
    const QRegularExpression expected(
        QRegularExpression::anchoredPattern(QString::fromLatin1(GetParam().output)),
        QRegularExpression::DotMatchesEverythingOption);
    EXPECT_TRUE(expected.match(output).hasMatch()) << output.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Options, BoardCommandLineTest,
    testing::Values(CommandLineCase{"--help",
                                    R"(Usage: \S*qbv-virtual-board \[options\]\n.*--version.*--headless.*)"},
                    CommandLineCase{"--version", R"(qbv-virtual-board \d+\.\d+\.\d+\n)"}),
    [](const testing::TestParamInfo<CommandLineCase>& info) { return std::string(info.param.option + 2); });
