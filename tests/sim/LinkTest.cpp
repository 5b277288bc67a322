// alt_jtaglib against a real qbv-virtual-board process: the panel's port and the library's exports.

#include "BoardProcess.h"
#include "VirtualJtag.h"

#include "board/BoardProtocol.h"
#include "board/Jtagport.h"
#include "platform/Environment.h"
#include "platform/ProgramLocation.h"
#include "sim/core/LinkExchange.h"
#include "sim/core/SocketPath.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace qbv;
using qbv::sim::BoardState;
using qbv::sim::Fault;
using testing::ElementsAre;
using testing::IsEmpty;

namespace {

constexpr int kGenerousMs = 3000;

// The board process and the library's environment pointing at it.
struct LinkTest : testing::Test {
    test::BoardProcess board;

    void SetUp() override {
        ASSERT_TRUE(board.ready());
        platform::setEnvironmentVariable(sim::wire::kBoardNameVariable, board.name());
    }
    void TearDown() override { platform::setEnvironmentVariable(sim::wire::kBoardNameVariable, ""); }

    BoardState state() {
        BoardState s;
        EXPECT_TRUE(board.control().state(s)) << board.control().lastReply();
        return s;
    }
    bool send(TJtagPort& port, int32_t command, uint8_t* data = nullptr) {
        uint8_t unused = 0;
        return board::SendCommand(port, command, data ? data : &unused);
    }
    // A raw client of the link socket, as a misbehaving library would be.
    int rawClient() { return sim::connectLocal(sim::linkSocketPath(board.name())); }
    void rawSend(int fd, const std::vector<uint8_t>& bytes) {
        ASSERT_TRUE(sim::sendAll(fd, bytes.data(), bytes.size(), sim::deadlineIn(kGenerousMs)));
    }
    void rawOpen(int fd) {
        sim::Frame reply;
        ASSERT_TRUE(sim::exchangeFrame(fd, sim::Frame{sim::wire::kOpenLink, 1, {sim::wire::kProtocolVersion}},
                                       sim::wire::kOpenLinkReply, reply, sim::deadlineIn(kGenerousMs)));
        ASSERT_EQ(reply.payload[0], sim::wire::kStatusOk);
    }
    // Until the board has noticed that a client went.
    bool linkFreed() {
        for (int i = 0; i < 200; ++i) {
            if (!state().linkOpen)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
};

long long millisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
        .count();
}

} // namespace

TEST(LinkWithoutBoardTest, InitFailsWhenNoBoardServesTheName) {
    platform::setEnvironmentVariable(sim::wire::kBoardNameVariable, test::BoardProcess::uniqueName());
    test::VirtualJtag jtag;
    ASSERT_TRUE(jtag.loaded());
    EXPECT_NE(jtag.init(), 0);
    EXPECT_NE(jtag.channelInit(), 0);
    EXPECT_NE(jtag.write({0x00}).result, 0);
    platform::setEnvironmentVariable(sim::wire::kBoardNameVariable, "");
}

TEST_F(LinkTest, InitFailsWhileTheCableIsUnpluggedAndWorksOncePlugged) {
    ASSERT_TRUE(board.control().unplug());
    test::VirtualJtag jtag;
    EXPECT_NE(jtag.init(), 0);
    EXPECT_FALSE(state().linkOpen);
    ASSERT_TRUE(board.control().plug());
    EXPECT_EQ(jtag.init(), 0);
    EXPECT_EQ(jtag.channelInit(), 0);
    EXPECT_TRUE(state().linkOpen);
}

TEST_F(LinkTest, CommandsThroughThePortDriveTheBoard) {
    TJtagPort port{platform::executableDirectory()};
    ASSERT_TRUE(port.IsLoaded());
    ASSERT_TRUE(port.Open());
    EXPECT_TRUE(send(port, board::kPing));
    uint8_t leds = ledBit(8) | ledBit(1);
    EXPECT_TRUE(send(port, board::kSetLeds, &leds));
    uint8_t pin = board::pinByte(87, true);
    EXPECT_TRUE(send(port, board::kSetGpioPin, &pin));
    pin = board::pinByte(5, true);
    EXPECT_TRUE(send(port, board::kSetGpioPin, &pin));
    ASSERT_TRUE(board.control().press(0));
    ASSERT_TRUE(board.control().press(2));
    uint8_t keys = 0xEE;
    EXPECT_TRUE(send(port, board::kReadKeys, &keys));
    EXPECT_EQ(keys, 0x05);
    ASSERT_TRUE(board.control().release(0));
    EXPECT_TRUE(send(port, board::kReadKeys, &keys));
    EXPECT_EQ(keys, 0x04);

    const BoardState s = state();
    EXPECT_EQ(s.leds, 0x81);
    EXPECT_THAT(s.pins, ElementsAre(5, 87));
    EXPECT_TRUE(s.linkOpen);
    EXPECT_EQ(s.received, 1u + 2 + 2 + 2 + 1 + 1);
    EXPECT_EQ(s.sent, 2u);
    port.Close();
    EXPECT_TRUE(linkFreed());
}

TEST_F(LinkTest, ASecondLinkIsRefusedWhileOneIsOpenAndAcceptedAfterClose) {
    test::VirtualJtag first;
    test::VirtualJtag second;
    ASSERT_EQ(first.init(), 0);
    EXPECT_NE(second.init(), 0);
    EXPECT_EQ(first.write({0x00}).result, 0); // the first link is unharmed
    first.close();
    EXPECT_EQ(second.init(), 0);
    EXPECT_EQ(second.write({0x00}).count, 1);
}

TEST_F(LinkTest, ClientsThatVanishOrSendGarbageLeaveTheBoardServing) {
    const int halfFrame = rawClient();
    rawOpen(halfFrame);
    rawSend(halfFrame, {sim::wire::kWrite, 2, 0, 2, 0, 0x01}); // one byte of its two, then gone
    sim::closeSocket(halfFrame);
    const int oversized = rawClient();
    rawSend(oversized, {sim::wire::kWrite, 1, 0, 0xFF, 0xFF, 1, 2, 3});
    const int unknown = rawClient();
    rawSend(unknown, {'Z', 1, 0, 0, 0});
    const int halfCommand = rawClient();
    rawOpen(halfCommand);
    rawSend(halfCommand, sim::encodeFrame(sim::Frame{sim::wire::kWrite, 2, {board::kSetLeds}}));
    sim::closeSocket(halfCommand); // holding the link, without closing it
    ASSERT_TRUE(linkFreed());

    TJtagPort port{platform::executableDirectory()};
    ASSERT_TRUE(port.Open());
    EXPECT_TRUE(send(port, board::kPing));
    EXPECT_EQ(state().leds, 0x00); // the ping was not taken for the vanished client's LED mask
    uint8_t keys = 0xEE;
    EXPECT_TRUE(send(port, board::kReadKeys, &keys));
    EXPECT_EQ(keys, 0x00);
    sim::closeSocket(oversized);
    sim::closeSocket(unknown);
}

TEST_F(LinkTest, AStallIsReportedAsZeroAndThePortClearsIt) {
    test::VirtualJtag jtag;
    ASSERT_EQ(jtag.init(), 0);
    ASSERT_TRUE(board.control().injectFault(Fault::Stall, 2));
    const auto written = jtag.write({0x00});
    EXPECT_EQ(written.result, 0);
    EXPECT_EQ(written.count, 1);
    EXPECT_EQ(written.stall, 0);
    EXPECT_EQ(jtag.read().stall, 0);
    EXPECT_LT(jtag.read().stall, 0);
    EXPECT_EQ(jtag.clearStall(), 0);
    EXPECT_EQ(state().stallsCleared, 1u);
    jtag.close();

    TJtagPort port{platform::executableDirectory()};
    ASSERT_TRUE(port.Open());
    ASSERT_TRUE(board.control().injectFault(Fault::Stall, 1));
    EXPECT_TRUE(send(port, board::kPing)); // a stall alone fails nothing
    EXPECT_EQ(state().stallsCleared, 2u);
}

TEST_F(LinkTest, PartialAndZeroAcceptanceAreReportedAndThePortFinishesTheCommand) {
    test::VirtualJtag jtag;
    ASSERT_EQ(jtag.init(), 0);
    ASSERT_TRUE(board.control().injectFault(Fault::Partial, 1));
    const auto partial = jtag.write({0x01, 0x81});
    EXPECT_EQ(partial.result, 0);
    EXPECT_EQ(partial.count, 1);
    ASSERT_TRUE(board.control().injectFault(Fault::Zero, 2));
    for (int i = 0; i < 2; ++i) {
        const auto zero = jtag.write({0x81});
        EXPECT_EQ(zero.result, 0);
        EXPECT_EQ(zero.count, 0);
    }
    EXPECT_EQ(jtag.write({0x81}).count, 1);
    EXPECT_EQ(state().leds, 0x81);
    jtag.close();

    TJtagPort port{platform::executableDirectory()};
    ASSERT_TRUE(port.Open());
    ASSERT_TRUE(board.control().injectFault(Fault::Partial, 1));
    ASSERT_TRUE(board.control().injectFault(Fault::Zero, 1));
    uint8_t pin = board::pinByte(68, true);
    EXPECT_TRUE(send(port, board::kSetGpioPin, &pin));
    EXPECT_THAT(state().pins, ElementsAre(68));
}

TEST_F(LinkTest, ADelayedReplyComesLateAndADroppedOneNever) {
    test::VirtualJtag jtag;
    ASSERT_EQ(jtag.init(), 0);
    ASSERT_TRUE(board.control().setKeys(0x03));
    ASSERT_TRUE(board.control().delayReplies(400, 1));
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(jtag.write({board::kReadKeys}).count, 1);
    EXPECT_THAT(jtag.readFor(1, kGenerousMs), ElementsAre(0x03));
    EXPECT_GE(millisecondsSince(start), 350);

    ASSERT_TRUE(board.control().injectFault(Fault::Drop, 1));
    ASSERT_EQ(jtag.write({board::kReadKeys}).count, 1);
    EXPECT_THAT(jtag.readFor(1, 300), IsEmpty());
    ASSERT_EQ(jtag.write({board::kReadKeys}).count, 1);
    EXPECT_THAT(jtag.readFor(1, kGenerousMs), ElementsAre(0x03));
    EXPECT_EQ(state().fault(Fault::Drop), 0);
}

TEST_F(LinkTest, ABlankControllerAcceptsNothingUntilProgrammedFromTheDesignFile) {
    ASSERT_TRUE(board.control().erase());
    test::VirtualJtag jtag;
    ASSERT_EQ(jtag.init(), 0); // the link opens; only the controller is silent
    EXPECT_EQ(jtag.channelInit(), 0);
    const auto refused = jtag.write({board::kPing});
    EXPECT_EQ(refused.result, 0);
    EXPECT_EQ(refused.count, 0);

    const std::string designFile = platform::executableDirectory() + "QBV_Control_Panel.pof";
    EXPECT_FALSE(board.control().program("QBV design file 1\ndevice EPM2210GF324\n"));
    EXPECT_EQ(board.control().lastReply(), "error damaged design file");
    EXPECT_FALSE(state().programmed);
    ASSERT_TRUE(board.control().programFile(designFile)) << board.control().lastReply();
    EXPECT_TRUE(state().programmed);
    EXPECT_EQ(jtag.write({board::kPing}).count, 1);
}

TEST_F(LinkTest, UnpluggingEndsTheOpenLink) {
    test::VirtualJtag jtag;
    ASSERT_EQ(jtag.init(), 0);
    ASSERT_TRUE(board.control().unplug());
    const auto failed = jtag.write({board::kPing});
    EXPECT_NE(failed.result, 0);
    EXPECT_EQ(failed.count, 0);
    EXPECT_LT(failed.stall, 0);
    EXPECT_NE(jtag.read().result, 0);
    ASSERT_TRUE(board.control().plug());
    EXPECT_NE(jtag.write({board::kPing}).result, 0); // that link is over
    jtag.close();
    EXPECT_EQ(jtag.init(), 0);
    EXPECT_EQ(jtag.write({board::kPing}).count, 1);
}

// A board process that stalls (a loaded machine, a laptop waking) answers late: within a command's time-out
// the command goes through; beyond it only that call fails, and the link goes on once the board is back.
TEST_F(LinkTest, AStalledBoardAnswersLateAndTheLinkGoesOn) {
    TJtagPort port{platform::executableDirectory()};
    ASSERT_TRUE(port.Open());
    const auto pid = static_cast<pid_t>(board.pid());
    ASSERT_EQ(::kill(pid, SIGSTOP), 0);
    std::thread wake([pid] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        ::kill(pid, SIGCONT);
    });
    const auto start = std::chrono::steady_clock::now();
    uint8_t leds = 0x81;
    EXPECT_TRUE(send(port, board::kSetLeds, &leds));
    wake.join();
    EXPECT_GE(millisecondsSince(start), 250);
    EXPECT_EQ(state().leds, 0x81);

    test::VirtualJtag jtag;
    port.Close();
    ASSERT_TRUE(linkFreed());
    ASSERT_EQ(jtag.init(), 0);
    ASSERT_EQ(::kill(pid, SIGSTOP), 0);
    const auto before = std::chrono::steady_clock::now();
    const auto late = jtag.write({board::kPing});
    const long long waited = millisecondsSince(before);
    ::kill(pid, SIGCONT);
    EXPECT_GE(waited, 2900); // as long as a command may take, and no longer
    EXPECT_LT(waited, 4000);
    EXPECT_NE(late.result, 0);
    EXPECT_EQ(late.count, 0);
    EXPECT_EQ(jtag.write({board::kPing}).count, 1); // the late reply is passed over, the link still good
    EXPECT_EQ(jtag.status(), 0);
}

TEST(BoardProcessTest, ANameServesOneBoardAndQuitTakesItsSocketsAlong) {
    std::string linkPath;
    {
        test::BoardProcess board;
        ASSERT_TRUE(board.ready());
        linkPath = sim::linkSocketPath(board.name());
        EXPECT_NE(board.startRival(), 0);
        BoardState s;
        EXPECT_TRUE(board.control().state(s)); // still the first board
        EXPECT_TRUE(board.control().quit());
        EXPECT_TRUE(board.process().waitForFinished(10000));
        EXPECT_EQ(board.process().exitCode(), 0);
    }
    EXPECT_LT(sim::connectLocal(linkPath), 0);
    EXPECT_NE(access(linkPath.c_str(), F_OK), 0);
    EXPECT_NE(access(sim::controlSocketPath(sim::linkSocketPath(linkPath)).c_str(), F_OK), 0);
}

TEST(BoardProcessTest, StartsBlankOrUnpluggedWhenAsked) {
    test::BoardProcess board({QStringLiteral("--blank"), QStringLiteral("--unplugged")});
    ASSERT_TRUE(board.ready());
    BoardState s;
    ASSERT_TRUE(board.control().state(s));
    EXPECT_FALSE(s.programmed);
    EXPECT_FALSE(s.plugged);
}

namespace {

// A socket at the path on which another user listens, as if that user had taken the name first: a child
// of this test listens as nobody, with system calls only (it is the fork of a process with threads).
int listenAsOtherUser(const std::string& path) {
    constexpr uid_t kNobody = 65534;
    sockaddr_un address{AF_UNIX, {}};
    path.copy(address.sun_path, path.size());
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        return -1;
    const pid_t child = fork();
    if (child == 0) {
        const bool asNobody =
            setresgid(kNobody, kNobody, kNobody) == 0 && setresuid(kNobody, kNobody, kNobody) == 0;
        _exit(asNobody && listen(fd, 4) == 0 ? 0 : 1);
    }
    int status = 1;
    return waitpid(child, &status, 0) == child && status == 0 ? fd : -1;
}

} // namespace

TEST(ForeignBoardTest, ASocketServedByAnotherUserIsRefusedWithTheReason) {
    if (geteuid() != 0)
        GTEST_SKIP() << "acting as another user takes root";
    char folder[] = "/tmp/qbv-foreign.XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string linkPath = std::string(folder) + "/board";
    const int link = listenAsOtherUser(linkPath);
    ASSERT_GE(link, 0);
    platform::setEnvironmentVariable(sim::wire::kBoardNameVariable, linkPath);

    TJtagPort port{platform::executableDirectory()};
    EXPECT_FALSE(port.Open());
    EXPECT_EQ(port.linkError(), jtag::LinkError::NotOurs);
    EXPECT_THAT(port.linkErrorString(),
                testing::HasSubstr("socket " + linkPath + " belongs to another user"));

    platform::setEnvironmentVariable(sim::wire::kBoardNameVariable, "");
    sim::closeSocket(link);
    std::filesystem::remove_all(folder);
}

// What lies at one of a board's paths as it starts: only a socket that a board of this user's left is
// replaced; anything else stays, and the board ends naming it.
struct LeftoverCase {
    const char* name;
    mode_t type;
    bool atControl; // at the control socket's path, else at the link's
};
class BoardLeftoverTest : public testing::TestWithParam<LeftoverCase> {};

TEST_P(BoardLeftoverTest, OnlyAStaleSocketOfItsOwnUsersIsReplaced) {
    const std::string link = "/tmp/" + test::BoardProcess::uniqueName();
    const std::string path = GetParam().atControl ? sim::controlSocketPath(link) : link;
    ASSERT_EQ(mknod(path.c_str(), GetParam().type | 0600, 0), 0);
    QProcess board;
    board.start(test::BoardProcess::program(), {"--headless", "--name", QString::fromStdString(link)});
    const bool served = board.waitForReadyRead(20000); // "serving ...", or an end with nothing on stdout
    board.terminate();
    board.waitForFinished(20000);
    ASSERT_EQ(served, GetParam().type == S_IFSOCK);
    EXPECT_THAT(board.readAllStandardError().toStdString(), testing::HasSubstr(served ? "" : path + " is "));
    EXPECT_TRUE(served || std::filesystem::is_regular_file(path)) << path << " was removed";
    std::filesystem::remove(path);
}

INSTANTIATE_TEST_SUITE_P(Paths, BoardLeftoverTest,
                         testing::Values(LeftoverCase{"OwnStaleSocket", S_IFSOCK, false},
                                         LeftoverCase{"PlainFile", S_IFREG, false},
                                         LeftoverCase{"PlainFileAtControl", S_IFREG, true}),
                         [](const testing::TestParamInfo<LeftoverCase>& info) { return info.param.name; });

// Sockets whose modes their owner loosened let another user's client through: the board asks the system
// who it is, says why in its protocol's words (all the client hears) and hangs up.
class ForeignClientTest : public testing::TestWithParam<std::pair<bool, std::string>> {}; // control socket?

TEST_P(ForeignClientTest, IsRefusedInItsProtocolsWordsAndHungUpOn) {
    if (geteuid() != 0)
        GTEST_SKIP() << "acting as another user takes root";
    test::BoardProcess board({}, 0, "/tmp/" + test::BoardProcess::uniqueName()); // a folder others may enter
    ASSERT_TRUE(board.ready());
    const std::string path = GetParam().first ? sim::controlSocketPath(board.name()) : board.name();
    std::filesystem::permissions(path, std::filesystem::perms::all);
    const pid_t child = fork();
    if (child == 0) { // system calls only: the fork of a process with threads
        sockaddr_un address{AF_UNIX, {}};
        path.copy(address.sun_path, path.size());
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        char heard[256];
        ssize_t total = 0;
        alarm(10); // a board that never hangs up ends the child
        if (setresuid(65534, 65534, 65534) == 0 &&
            connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
            for (ssize_t got; (got = read(fd, heard + total, sizeof heard - total)) > 0;)
                total += got;
        _exit(std::string_view(heard, total) == GetParam().second ? 0 : 1);
    }
    int status = -1;
    EXPECT_TRUE(waitpid(child, &status, 0) == child && status == 0) << "wait status " << status;
}

INSTANTIATE_TEST_SUITE_P(
    Sockets, ForeignClientTest,
    testing::Values(std::pair{false, std::string("h\0\0\x01\0\x06", 6)}, // open-link reply, status 6
                    std::pair{true, std::string("error the board serves its own user's clients only\n")}));

namespace {

// A client of a board with short limits on quiet clients, and whether the board hangs up on it.
struct QuietCase {
    const char* name;
    bool opensLink;
    bool polls; // as the panel does, every 20 ms
    bool hungUp;
    friend void PrintTo(const QuietCase& c, std::ostream* os) { *os << c.name; }
};

class QuietClientTest : public testing::TestWithParam<QuietCase> {};

} // namespace

TEST_P(QuietClientTest, OnlyAClientThatWentQuietIsHungUpOnAndTheLinkThenFree) {
    test::BoardProcess board({QStringLiteral("--open-link-within-ms"), QStringLiteral("300"),
                              QStringLiteral("--link-idle-ms"), QStringLiteral("600")});
    ASSERT_TRUE(board.ready());
    platform::setEnvironmentVariable(sim::wire::kBoardNameVariable, board.name());
    test::VirtualJtag client;
    const int connection = GetParam().opensLink ? -1 : sim::connectLocal(sim::linkSocketPath(board.name()));
    ASSERT_TRUE(GetParam().opensLink ? client.init() == 0 : connection >= 0);
    test::VirtualJtag waiting;
    EXPECT_EQ(waiting.init() == 0, !GetParam().opensLink);
    waiting.close();

    for (const auto start = std::chrono::steady_clock::now(); millisecondsSince(start) < 1500;) {
        if (GetParam().polls)
            client.read();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    uint8_t byte = 0;
    const bool hungUp = GetParam().opensLink ? client.read().result != 0
                                             : sim::receiveAll(connection, &byte, 1, sim::deadlineIn(0)) ==
                                                   sim::Received::Broken;
    EXPECT_EQ(hungUp, GetParam().hungUp);
    EXPECT_EQ(waiting.init() == 0, GetParam().hungUp || !GetParam().opensLink);
    sim::closeSocket(connection);
    platform::setEnvironmentVariable(sim::wire::kBoardNameVariable, "");
}

INSTANTIATE_TEST_SUITE_P(Clients, QuietClientTest,
                         testing::Values(QuietCase{"NeverOpensTheLink", false, false, true},
                                         QuietCase{"OpensTheLinkAndGoesQuiet", true, false, true},
                                         QuietCase{"OpensTheLinkAndPolls", true, true, false}),
                         [](const testing::TestParamInfo<QuietCase>& info) { return info.param.name; });
