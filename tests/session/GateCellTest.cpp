// Every state of the board link and every input in it, on the session alone: what the user, the board and
// a script see of it.

#include "tests/session/SessionBench.h"

#include "common/Texts.h"

#include <gmock/gmock.h>

using namespace qbv::session;
using qbv::test::FakeJtag;
using qbv::test::RecordingView;
using Kind = RecordingView::Kind;

namespace {

struct Row {
    State state;
    // Per action, in the order of Action: R carried out, C carried out once the user says Yes, L left for
    // later, - nothing seen at all.
    const char* cells;
    Refusal refusal; // what a script hears where its request is not carried out
};

void PrintTo(const Row& row, std::ostream* out) {
    *out << stateName(row.state);
}

// clang-format off
const Row kRows[] = {
    //                         Connect Program SetLeds SetPin Ping ReadKeys PollKeys Close Look
    {State::Disconnected,    "RR-----RR", Refusal::NotConnected},
    {State::NoDriver,        "R------RR", Refusal::NotConnected},
    {State::Unanswered,      "RR-----RR", Refusal::NotConnected},
    {State::ProgramAsked,    "-R-----RR", Refusal::Busy},
    {State::Connecting,      "-------CR", Refusal::Busy},
    {State::Connected,       "-RRRRRRRR", Refusal::None},
    {State::Commanding,      "------LRR", Refusal::Busy},
    {State::Programming,     "-------CR", Refusal::Busy},
    {State::TellingFailure,  "-------RR", Refusal::Busy},
    {State::AskingToProgram, "-------RR", Refusal::Busy},
    {State::AskingToQuit,    "--------R", Refusal::Busy},
    {State::Closing,         "---------", Refusal::Closing},
    {State::Closed,          "---------", Refusal::Closing},
};
// clang-format on

constexpr const char* kActionNames[] = {"Connect",  "Program",  "SetLeds", "SetPin", "Ping",
                                        "ReadKeys", "PollKeys", "Close",   "Look"};

// A script's request for each action a script can ask for.
std::optional<ScriptRequest> scriptFor(Action action) {
    switch (action) {
    case Action::Program:
        return ScriptRequest{ScriptVerb::Program};
    case Action::SetLeds:
        return ScriptRequest{ScriptVerb::Led, 0x81};
    case Action::SetPin:
        return ScriptRequest{ScriptVerb::Pin, 0, 87, true};
    case Action::Ping:
        return ScriptRequest{ScriptVerb::Ping};
    case Action::ReadKeys:
        return ScriptRequest{ScriptVerb::Keys};
    default:
        return std::nullopt;
    }
}

class GateCellTest : public testing::TestWithParam<std::tuple<Row, Action>> {
protected:
    GateCellTest() {
        fake.script().delayUser = this;
        fake.script().delay = [](uint32_t milliseconds, void* user) {
            auto* self = static_cast<GateCellTest*>(user);
            self->bench.clock.advance(milliseconds);
            if (const std::function<void()> during = std::exchange(self->duringCall, nullptr))
                during();
        };
    }

    // Brings the session into the state as a user would, and gives the action there: for a command on its
    // way, from inside the library's write.
    void giveInState(State state, Action action) {
        const auto deaf = [this] { fake.setFallback(kFakeWrite, FakeJtag::step(0, 0)); };
        switch (state) {
        case State::Disconnected:
            break;
        case State::NoDriver:
        case State::TellingFailure:
            folder.directory.removeLibrary();
            connect();
            if (state == State::NoDriver) {
                bench.answer(true); // the library's own box
                bench.answer(true); // the panel's
            }
            break;
        case State::Unanswered:
        case State::ProgramAsked:
        case State::AskingToProgram:
            deaf();
            connect();
            if (state != State::AskingToProgram)
                bench.answer(state == State::ProgramAsked);
            fake.answerKeyReads(0x00);
            fake.setFallback(kFakeWrite, FakeJtag::step(0));
            break;
        case State::Connecting:
        case State::Connected:
        case State::Commanding:
        case State::AskingToQuit:
        case State::Closing:
            connect();
            if (state == State::Connected || state == State::Commanding)
                bench.passTime(1001);
            if (state == State::AskingToQuit || state == State::Closing)
                bench.session.close();
            if (state == State::Closing)
                bench.answer(true);
            break;
        case State::Programming:
            bench.session.request(Action::Program);
            break;
        case State::Closed:
            bench.session.close();
            break;
        }
        if (state == State::Commanding) {
            fake.push(kFakeWrite, FakeJtag::step(0, kFakeAcceptAll, -1, 1));
            duringCall = [this, action] { give(action); };
            bench.session.request(Action::SetLeds, 0x0F);
            ASSERT_FALSE(duringCall) << "the command never reached the library";
            return;
        }
        give(action);
    }

    void connect() { bench.session.request(Action::Connect); }
    const RecordingView& view() const { return bench.view; }

    // Gives the action and marks what came of it.
    void give(Action action) {
        const std::vector<std::string> states = view().texts(Kind::State);
        shownBefore = states.empty() ? "Disconnected" : states.back();
        mark = view().events.size();
        callMark = fake.script().callCount;
        answerMark = view().answers.size();
        if (const std::optional<ScriptRequest> request = scriptFor(action))
            bench.session.request(1, *request);
        else if (action == Action::Close)
            bench.session.close();
        else
            verdict = bench.session.request(action).verdict;
        if (action == Action::Look && verdict == Verdict::Run)
            library = bench.session.library();
        end = view().events.size();
        callEnd = fake.script().callCount;
        answerEnd = view().answers.size();
    }

    std::vector<FakeCall> callsSince() const {
        return {fake.script().calls + callMark, fake.script().calls + callEnd};
    }
    std::vector<uint8_t> bytesSince() const {
        std::vector<uint8_t> bytes;
        for (const FakeCall& call : callsSince())
            if (call.function == kFakeWrite)
                bytes.insert(bytes.end(), call.bytes, call.bytes + call.accepted);
        return bytes;
    }
    std::vector<std::string> since(Kind kind) const {
        std::vector<std::string> found = view().texts(kind, mark);
        found.resize(found.size() - view().texts(kind, end).size());
        return found;
    }
    std::optional<ScriptReply> reply() const {
        if (answerEnd == answerMark)
            return std::nullopt;
        return view().answers[answerMark].second;
    }

    // What the action came to, as a letter of the table.
    char seen(Action action) const {
        if (!since(Kind::Box).empty() && since(Kind::Box).front() == qbv::text::kQuitQuestion)
            return 'C';
        if (verdict == Verdict::Defer)
            return 'L';
        const std::vector<std::string> statuses = since(Kind::Status);
        const auto shown = [&](const char* text) {
            return std::find(statuses.begin(), statuses.end(), text) != statuses.end();
        };
        using Bytes = std::vector<uint8_t>;
        switch (action) {
        case Action::Connect:
            return shown("Connecting QB-vela ...") ? 'R' : '-';
        case Action::Program:
            return shown(qbv::text::kDownloadStart) ? 'R' : '-';
        case Action::SetLeds:
            return bytesSince() == Bytes{0x01, 0x81} ? 'R' : '-';
        case Action::SetPin:
            return bytesSince() == Bytes{0x05, 0xD7} ? 'R' : '-';
        case Action::Ping:
            return bytesSince() == Bytes{0x00} ? 'R' : '-';
        case Action::ReadKeys:
            return reply() && reply()->refusal == Refusal::None && reply()->keys ? 'R' : '-';
        case Action::PollKeys:
            return bytesSince() == Bytes{0x06} ? 'R' : '-';
        case Action::Close: // during a command, the panel may end once the command is over
            return view().texts(Kind::Ended, mark).empty() ? '-' : 'R';
        case Action::Look:
            return verdict == Verdict::Run ? 'R' : '-';
        }
        return '?';
    }

    qbv::test::ProgramFolder folder;
    qbv::test::ProgrammerOrders orders{0};
    qbv::test::SessionBench bench;
    FakeJtag& fake = bench.fake;
    std::function<void()> duringCall;

    std::string shownBefore;
    size_t mark = 0, end = 0;
    int callMark = 0, callEnd = 0;
    size_t answerMark = 0, answerEnd = 0;
    Verdict verdict = Verdict::Run;
    std::optional<LibraryFacts> library;
};

TEST_P(GateCellTest, ActionInState) {
    const auto& [row, action] = GetParam();
    giveInState(row.state, action);
    ASSERT_EQ(shownBefore, stateName(row.state));
    const char cell = row.cells[static_cast<int>(action)];
    EXPECT_EQ(seen(action), cell) << testing::PrintToString(since(Kind::Status));

    // An input that is not carried out leaves no trace; About reads the library's edition without
    // loading it under the programmer, and never opens the link.
    if (cell == '-' || cell == 'L') {
        EXPECT_THAT(since(Kind::State), testing::IsEmpty());
        EXPECT_THAT(since(Kind::Status), testing::IsEmpty());
        EXPECT_THAT(since(Kind::Box), testing::IsEmpty());
        EXPECT_THAT(since(Kind::Ended), testing::IsEmpty());
        EXPECT_THAT(callsSince(), testing::IsEmpty());
    }
    for (const FakeCall& call : callsSince()) {
        if (action == Action::Look) {
            EXPECT_TRUE(call.function == kFakeLoad || call.function == kFakeUnload) << call.function;
        }
    }
    if (row.state == State::Programming && action == Action::Look) {
        ASSERT_TRUE(library);
        EXPECT_THAT(callsSince(), testing::IsEmpty());
    }

    // A script hears one answer at once, except for a job it started, which answers at its end; where
    // nothing is done, it hears why in the state's words.
    if (!scriptFor(action))
        return;
    EXPECT_EQ(answerEnd - answerMark, action == Action::Program && cell == 'R' ? 0u : 1u);
    if (cell == '-') {
        ASSERT_TRUE(reply());
        EXPECT_EQ(reply()->refusal, row.refusal);
        EXPECT_FALSE(reply()->text.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(EveryCell, GateCellTest,
                         testing::Combine(testing::ValuesIn(kRows),
                                          testing::Values(Action::Connect, Action::Program, Action::SetLeds,
                                                          Action::SetPin, Action::Ping, Action::ReadKeys,
                                                          Action::PollKeys, Action::Close, Action::Look)),
                         [](const testing::TestParamInfo<GateCellTest::ParamType>& info) {
                             return std::string(stateName(std::get<0>(info.param).state)) +
                                    kActionNames[static_cast<int>(std::get<1>(info.param))];
                         });

} // namespace
