// qbv through a panel that answers as the test says: each command is one request, each answer one exit
// code in the panel's own words; with --wait a refusal that passes is asked again, a board failure never.

#include "CliTesting.h"
#include "common/ExitCode.h"
#include "platform/Environment.h"
#include "platform/LocalChannel.h"
#include "programming/ProgrammingJob.h"
#include "programming/QuartusLocation.h"
#include "session/ScriptProtocol.h"
#include "tests/programming/ProgrammerTesting.h"
#include "tests/support/FakeJtag.h"

#include <fstream>

#include <atomic>
#include <mutex>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace qbv;
using testing::AllOf;
using testing::Each;
using testing::ElementsAreArray;
using testing::HasSubstr;
using testing::SizeIs;

namespace {

constexpr const char* kEnd = "end";

// A panel's socket served from a thread: each request line is kept and answered with the next scripted
// reply (the last one again once they run out); an empty reply hangs up instead, kEnd hangs up and serves
// no more, as a panel that ended. A program request that is not refused hears first that its job started.
class ScriptedPanel {
public:
    explicit ScriptedPanel(std::vector<std::string> replies) : replies_(std::move(replies)) {
        const std::string path =
            platform::localServerAddress(session::panelServerName(test::programFolder()));
        ::unlink(path.c_str());
        listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path.copy(address.sun_path, sizeof address.sun_path - 1);
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(listener_, 8) != 0)
            ADD_FAILURE() << "the scripted panel cannot listen at " << path;
        path_ = path;
        thread_ = std::thread([this] { serve(); });
    }
    ~ScriptedPanel() {
        stop_ = true;
        ::shutdown(listener_, SHUT_RDWR);
        thread_.join();
        ::close(listener_);
        ::unlink(path_.c_str());
    }
    std::vector<std::string> requests() {
        std::lock_guard lock(mutex_);
        return requests_;
    }

private:
    void serve() {
        while (!stop_) {
            const int connection = ::accept(listener_, nullptr, nullptr);
            if (connection < 0)
                return;
            std::string buffer;
            char chunk[256];
            bool hungUp = false;
            for (ssize_t got; !hungUp && (got = ::read(connection, chunk, sizeof chunk)) > 0;) {
                buffer.append(chunk, static_cast<size_t>(got));
                for (size_t end; !hungUp && (end = buffer.find('\n')) != std::string::npos;) {
                    const std::string request = buffer.substr(0, end);
                    buffer.erase(0, end + 1);
                    std::string reply = next(request);
                    const bool ended = reply == kEnd;
                    std::string said = started(request, reply) ? R"({"programming":true})"
                                                                 "\n"
                                                               : "";
                    if (!ended && !reply.empty())
                        said += reply + "\n";
                    const bool written = said.empty() || ::write(connection, said.data(), said.size()) >= 0;
                    hungUp = ended || reply.empty() || !written;
                    if (ended) { // gone before the hang-up, as a panel's socket goes with its process
                        ::unlink(path_.c_str());
                        ::shutdown(listener_, SHUT_RDWR);
                        ::close(connection);
                        return;
                    }
                }
            }
            ::close(connection);
        }
    }
    // A panel's job starts when it is asked to program and does not refuse.
    static bool started(const std::string& request, const std::string& reply) {
        return request.find("program") != std::string::npos && reply != kEnd &&
               reply.find(R"("ok":false)") == std::string::npos;
    }
    std::string next(const std::string& request) {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
        const size_t at = std::min(requests_.size(), replies_.size()) - 1;
        return replies_[at];
    }

    std::vector<std::string> replies_;
    std::string path_;
    int listener_ = -1;
    std::thread thread_;
    std::atomic<bool> stop_ = false;
    std::mutex mutex_;
    std::vector<std::string> requests_;
};

std::string refusal(const char* why) {
    return std::string(R"({"ok":false,"why":")") + why + R"(","text":"the panel's words"})";
}

const char* const kOk = R"({"ok":true,"keys":2})";

struct Command {
    const char* name;
    std::vector<std::string> arguments;
    const char* request;
};

const Command kCommands[] = {
    {"ping", {"ping"}, R"({"do":"ping"})"},
    {"led", {"led", "0x81"}, R"({"do":"led","mask":129})"},
    {"pin", {"pin", "87", "on"}, R"({"do":"pin","on":true,"pin":87})"},
    {"keys", {"keys"}, R"({"do":"keys"})"},
    {"program", {"program"}, R"({"do":"program"})"},
};

struct Answer {
    const char* name;
    std::vector<std::string> replies;
    bool wait;
    int exitCode;
    int requests; // how often the command was asked
};

const Answer kAnswers[] = {
    {"Done", {kOk}, false, qbv::kExitSuccess, 1},
    {"Busy", {refusal("busy")}, false, qbv::kExitPanelBusy, 1},
    {"Closing", {refusal("closing")}, false, qbv::kExitPanelBusy, 1},
    {"Connecting", {refusal("connecting")}, false, qbv::kExitPanelBusy, 1},
    {"NoLibrary", {refusal("no-library")}, false, qbv::kExitLibrary, 1},
    {"NotConnected", {refusal("not-connected")}, false, qbv::kExitLinkNotOpened, 1},
    {"BusyThenDoneWithWait", {refusal("busy"), refusal("connecting"), kOk}, true, qbv::kExitSuccess, 3},
    {"FailedWithWaitIsNotAskedAgain", {refusal("failed"), kOk}, true, qbv::kExitCommandFailed, 1},
};

class PanelOutcomeTest : public testing::TestWithParam<std::tuple<Command, Answer>> {
protected:
    test::FakeLibraryDirectory directory; // the program folder the panel's name comes from
};

TEST_P(PanelOutcomeTest, OneRequestOneOutcome) {
    const auto& [command, answer] = GetParam();
    ScriptedPanel panel(answer.replies);
    std::vector<std::string> arguments = command.arguments;
    if (answer.wait)
        arguments.insert(arguments.begin(), {"--wait", "5"});
    const test::CliRun run = test::runQbv(arguments);
    const bool program = std::string(command.name) == "program";
    // A failed board command has the board's own code; programming reports the panel's refusal words.
    const int expected =
        answer.exitCode == qbv::kExitCommandFailed && program ? qbv::kExitCommandFailed : answer.exitCode;
    EXPECT_EQ(run.exitCode, expected) << run.err;
    EXPECT_THAT(panel.requests(),
                ElementsAreArray(std::vector<std::string>(answer.requests, command.request)));
    if (run.exitCode != 0) {
        EXPECT_THAT(run.err, HasSubstr("the panel's words"));
    }
    // The panel's job is said to run only once the panel started it.
    EXPECT_EQ((run.out + run.err).find("The control panel programs the MAX II") != std::string::npos,
              program && run.exitCode == 0);
}

INSTANTIATE_TEST_SUITE_P(CommandsAndAnswers, PanelOutcomeTest,
                         testing::Combine(testing::ValuesIn(kCommands), testing::ValuesIn(kAnswers)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + std::get<1>(info.param).name;
                         });

TEST(PanelGoneTest, ACommandGoesOnOverQbvsOwnLinkButProgrammingIsNeverStartedTwice) {
    test::FakeLibraryDirectory directory;
    test::FakeJtag fake;
    fake.answerKeyReads(0x00);
    {
        ScriptedPanel panel({""});
        EXPECT_EQ(test::runQbv({"led", "0x81"}).exitCode,
                  qbv::kExitCommandFailed); // still there: asked twice
        EXPECT_EQ(panel.requests().size(), 2u);
        const test::CliRun programmed = test::runQbv({"program"});
        EXPECT_EQ(programmed.exitCode, qbv::kExitProgrammingFailed);
        EXPECT_THAT(programmed.err, HasSubstr("went away before it said how programming ended"));
        EXPECT_EQ(panel.requests().size(), 3u);
    }
    // A panel that refused and then ended programmed nothing: the free link after it is no success of its,
    // and qbv runs its own job (here with no tool chain).
    ScriptedPanel refusedThenEnded({refusal("connecting"), kEnd});
    const test::CliRun programmed = test::runQbv({"--wait", "5", "--json", "program"});
    EXPECT_EQ(programmed.exitCode, qbv::kExitProgrammingFailed);
    EXPECT_THAT(programmed.out, HasSubstr(R"("programmed":false)"));
    EXPECT_THAT(programmed.err + programmed.out, HasSubstr("Please make sure Quatus is installed"));
}

// Once the panel said its job started, how the job ended is how qbv program ends, and the panel is not
// asked again, even with --wait; a panel that ended before it connected again leaves qbv to ask the board.
struct JobEnd {
    const char* name;
    std::string reply;
    int exitCode;
    nlohmann::json fields;
    size_t requests;
};

std::string afterStart(const std::string& reply) {
    return std::string(R"({"programming":true})") + "\n" + reply;
}

const JobEnd kJobEnds[] = {
    {"Answered", kOk, qbv::kExitSuccess, {{"programmed", true}, {"keys", 2}}, 1},
    {"EndedBeforeItConnected", R"({"ok":true})", qbv::kExitSuccess, {{"programmed", true}, {"keys", 0}}, 2},
    {"Unanswered", afterStart(refusal("unanswered")), qbv::kExitNoResponse, {{"programmed", true}}, 1},
    {"Failed",
     afterStart(refusal("unprogrammed")),
     qbv::kExitProgrammingFailed,
     {{"programmed", false}, {"timedOut", false}},
     1},
    {"TimedOut",
     afterStart(refusal("timed-out")),
     qbv::kExitTimeout,
     {{"programmed", false}, {"timedOut", true}},
     1},
    {"Closing", afterStart(refusal("closing")), qbv::kExitPanelBusy, {{"programmed", false}}, 1},
};

struct PanelJobEndTest : testing::TestWithParam<JobEnd> {
    test::FakeLibraryDirectory directory;
};

INSTANTIATE_TEST_SUITE_P(Ends, PanelJobEndTest, testing::ValuesIn(kJobEnds),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(PanelJobEndTest, IsHowProgrammingEnds) {
    const JobEnd& end = GetParam();
    ScriptedPanel panel({end.reply});
    const test::CliRun run = test::runQbv({"--wait", "5", "--json", "program"});
    EXPECT_EQ(run.exitCode, end.exitCode) << run.err;
    EXPECT_EQ(panel.requests().size(), end.requests);
    nlohmann::json json;
    ASSERT_TRUE(test::parseJson(run.out, json)) << run.out;
    for (const auto& [key, value] : end.fields.items())
        EXPECT_EQ(json[key], value) << key;
    EXPECT_EQ(json.contains("timedOut"), end.fields.contains("timedOut"));
}

// qbv doctor while a panel of the folder runs: the link's steps are asked of the panel, never of qbv's own
// link, and the panel's refusal is the step's failure.
struct DoctorAnswer {
    const char* name;
    std::vector<std::string> replies;
    int exitCode;
    const char* failedStep; // "" when all pass
    size_t requests;        // a ping (whether the panel holds the link), then 20 for the round trip
};

const DoctorAnswer kDoctorAnswers[] = {
    {"AllWell", {kOk}, qbv::kExitSuccess, "", 21},
    {"Busy", {refusal("busy")}, qbv::kExitPanelBusy, "panel", 1},
    {"BoardUnanswered", {refusal("unanswered")}, qbv::kExitNoResponse, "panel", 1},
    {"NoLinkThere", {refusal("not-connected")}, qbv::kExitLinkNotOpened, "panel", 1},
    {"RoundTripFails", {kOk, kOk, refusal("failed")}, qbv::kExitCommandFailed, "round-trip", 3},
};

struct PanelDoctorTest : testing::TestWithParam<DoctorAnswer> {
    test::FakeJtag fake;
    test::FakeLibraryDirectory directory;
    std::string quartusRoot = platform::environmentVariable("QUARTUS_ROOTDIR");

    PanelDoctorTest() {
        platform::setEnvironmentVariable("QUARTUS_ROOTDIR", "");
        std::ofstream(programming::designFilePath(test::programFolder())) << "design";
        test::installTestProgrammer(programming::programmerPath(directory.directory() + "quartus"));
    }
    ~PanelDoctorTest() override { platform::setEnvironmentVariable("QUARTUS_ROOTDIR", quartusRoot); }
};

INSTANTIATE_TEST_SUITE_P(Answers, PanelDoctorTest, testing::ValuesIn(kDoctorAnswers),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(PanelDoctorTest, AsksThePanelForTheLinksPart) {
    const DoctorAnswer& answer = GetParam();
    ScriptedPanel panel(answer.replies);
    const test::CliRun run = test::runQbv({"--json", "doctor"});
    EXPECT_EQ(run.exitCode, answer.exitCode) << run.out;
    // Pings only: a panel answers a key read from its polls, without the board's round trip.
    EXPECT_THAT(panel.requests(), AllOf(SizeIs(answer.requests), Each(std::string(R"({"do":"ping"})"))));
    EXPECT_EQ(fake.count(kFakeInit), 0); // qbv opened no link of its own
    std::string failed;
    for (const std::string& line : test::lines(run.out)) {
        nlohmann::json step;
        ASSERT_TRUE(test::parseJson(line, step)) << line;
        if (step["name"] == "panel") {
            const std::string detail = step["detail"];
            EXPECT_THAT(detail, HasSubstr("control panel of this folder runs"));
            // As the panel has its link: never said to hold one it does not.
            EXPECT_EQ(detail.find("holds the link") != std::string::npos,
                      std::string(answer.failedStep) != "panel");
        }
        if (step["status"] == "failed")
            failed = step["name"];
    }
    EXPECT_EQ(failed, answer.failedStep);
}

} // namespace
