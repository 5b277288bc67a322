// Every state of the board link and every input in it, on the session alone: what the user, the board and
// a script see of it.

#include "tests/session/SessionBench.h"

#include "common/Texts.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <map>

using namespace qbv::session;
using qbv::test::FakeJtag;
using qbv::test::oneOf;
using Event = qbv::test::RecordingView::Event;
using Kind = qbv::test::RecordingView::Kind;
using testing::IsEmpty;

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
    //                         Connect Program SetLeds SetPin Ping ReadKeys PollKeys Close Look Check
    {State::Starting,        "RR-----RR-", Refusal::Connecting},
    {State::Disconnected,    "RR-----RRR", Refusal::NotConnected},
    {State::NoDriver,        "R------RRR", Refusal::NoLibrary},
    {State::Unanswered,      "RR-----RRR", Refusal::Unanswered},
    {State::ProgramAsked,    "-R-----RR-", Refusal::Busy},
    {State::Connecting,      "-------CR-", Refusal::Connecting},
    {State::Connected,       "-RRRRRRRRR", Refusal::None},
    {State::Commanding,      "------LLR-", Refusal::Busy},
    {State::Programming,     "-------CR-", Refusal::Busy},
    {State::Checking,        "------LRR-", Refusal::Busy},
    {State::TellingFailure,  "-------RR-", Refusal::Busy},
    {State::AskingToProgram, "-------RR-", Refusal::Busy},
    {State::AskingToQuit,    "--------R-", Refusal::Busy},
    {State::Closing,         "----------", Refusal::Closing},
    {State::Closed,          "----------", Refusal::Closing},
};
// clang-format on

constexpr const char* kActionNames[] = {"Connect",  "Program",  "SetLeds", "SetPin", "Ping",
                                        "ReadKeys", "PollKeys", "Close",   "Look",   "Check"};

// The script requests that ask for an action, and the bytes the board receives for the commands.
const std::map<Action, ScriptRequest> kScripts = {{Action::Program, {ScriptVerb::Program}},
                                                  {Action::SetLeds, {ScriptVerb::Led, 0x81}},
                                                  {Action::SetPin, {ScriptVerb::Pin, 0, 87, true}},
                                                  {Action::Ping, {ScriptVerb::Ping}},
                                                  {Action::ReadKeys, {ScriptVerb::Keys}}};
const std::map<Action, std::vector<uint8_t>> kBytes = {{Action::SetLeds, {0x01, 0x81}},
                                                       {Action::SetPin, {0x05, 0xD7}},
                                                       {Action::Ping, {0x00}},
                                                       {Action::PollKeys, {0x06}}};

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

    // Brings the session into the state as a user would, and gives the action there: during a command,
    // from inside the library's write.
    void giveInState(State state, Action action) {
        Session& session = bench.session;
        if (oneOf(state, {State::NoDriver, State::TellingFailure}))
            folder.directory.removeLibrary();
        if (oneOf(state, {State::Unanswered, State::ProgramAsked, State::AskingToProgram}))
            fake.setFallback(kFakeWrite, FakeJtag::step(0, 0)); // a controller that takes nothing
        if (state == State::Disconnected)
            fake.push(kFakeInit, FakeJtag::step(-1)); // the link does not open
        if (state == State::Programming)
            session.request(Action::Program);
        else if (state == State::Closed)
            session.close();
        else if (state != State::Starting)
            session.request(Action::Connect);
        fake.setFallback(kFakeWrite, FakeJtag::step(0));
        if (state == State::Disconnected)
            bench.answer(true); // the checklist
        if (state == State::NoDriver) {
            bench.answer(true); // the library's own box
            bench.answer(true); // the panel's
        }
        if (oneOf(state, {State::Unanswered, State::ProgramAsked}))
            bench.answer(state == State::ProgramAsked);
        if (oneOf(state, {State::Connected, State::Commanding, State::Checking}))
            bench.passTime(1001);
        if (state == State::Checking)
            session.request(Action::Check); // its first check waits for the next turn
        if (oneOf(state, {State::AskingToQuit, State::Closing}))
            session.close();
        if (state == State::Closing)
            bench.answer(true);
        if (state != State::Commanding)
            return give(action);
        fake.push(kFakeWrite, FakeJtag::step(0, kFakeAcceptAll, -1, 1));
        duringCall = [this, action] { give(action); };
        session.request(Action::SetLeds, 0x0F);
        ASSERT_FALSE(duringCall) << "the command never reached the library";
    }

    // Gives the action and keeps what came of it, before anything else comes.
    void give(Action action) {
        const auto& view = bench.view;
        for (const Event& event : view.events)
            shownBefore = event.kind == Kind::State ? event.text : shownBefore;
        from = view.events.size();
        const size_t replies = view.replies.size();
        const int calls = fake.script().callCount;
        if (kScripts.contains(action))
            bench.session.request(1, kScripts.at(action));
        else if (action == Action::Close)
            verdict = bench.session.request(Action::Close).verdict;
        else
            verdict = bench.session.request(action).verdict;
        if (action == Action::Look && verdict == Verdict::Run)
            library = bench.session.library();
        came.assign(view.events.begin() + from, view.events.end());
        callsMade.assign(fake.script().calls + calls, fake.script().calls + fake.script().callCount);
        heard.assign(view.replies.begin() + replies, view.replies.end());
    }

    std::vector<std::string> texts(Kind kind, const std::vector<Event>& events) const {
        std::vector<std::string> found;
        for (const Event& event : events)
            if (event.kind == kind)
                found.push_back(event.text);
        return found;
    }
    std::vector<std::string> cameAs(Kind kind) const { return texts(kind, came); }
    std::vector<uint8_t> bytes() const {
        std::vector<uint8_t> sent;
        for (const FakeCall& call : callsMade)
            if (call.function == kFakeWrite)
                sent.insert(sent.end(), call.bytes, call.bytes + call.accepted);
        return sent;
    }
    bool shown(Kind kind, const std::string& text) const {
        return std::ranges::count(cameAs(kind), text) > 0;
    }

    // What the action came to, as a letter of the table.
    char seen(Action action) const {
        if (shown(Kind::Box, qbv::text::kQuitQuestion))
            return 'C';
        if (verdict == Verdict::Defer)
            return 'L';
        const bool carried =
            kBytes.contains(action)     ? bytes() == kBytes.at(action)
            : action == Action::Connect ? shown(Kind::Status, "Connecting QB-vela ...")
            : action == Action::Program ? shown(Kind::Status, qbv::text::kDownloadStart)
            : action == Action::Check   ? shown(Kind::State, "Checking")
            : action == Action::ReadKeys
                ? heard.size() == 1 && heard[0].refusal == Refusal::None && heard[0].keys
            // During a command the panel may end once the command is over.
            : action == Action::Close
                ? !texts(Kind::Ended, {bench.view.events.begin() + from, bench.view.events.end()}).empty()
                : verdict == Verdict::Run;
        return carried ? 'R' : '-';
    }

    qbv::test::ProgramFolder folder;
    qbv::test::ProgrammerOrders orders{0};
    qbv::test::SessionBench bench;
    FakeJtag& fake = bench.fake;
    std::function<void()> duringCall;

    std::string shownBefore = "Starting";
    size_t from = 0;
    std::vector<Event> came;
    std::vector<FakeCall> callsMade;
    std::vector<ScriptReply> heard;
    Verdict verdict = Verdict::Run;
    std::optional<LibraryFacts> library;
};

TEST_P(GateCellTest, ActionInState) {
    const auto& [row, action] = GetParam();
    giveInState(row.state, action);
    ASSERT_EQ(shownBefore, stateName(row.state));
    const char cell = row.cells[static_cast<int>(action)];
    EXPECT_EQ(seen(action), cell) << testing::PrintToString(cameAs(Kind::Status));

    // An input that is not carried out leaves no trace; About reads the library's edition without loading
    // it under the programmer, and never opens the link.
    if (cell == '-' || cell == 'L') {
        EXPECT_THAT(cameAs(Kind::State), IsEmpty());
        EXPECT_THAT(cameAs(Kind::Status), IsEmpty());
        EXPECT_THAT(cameAs(Kind::Box), IsEmpty());
        EXPECT_THAT(cameAs(Kind::Ended), IsEmpty());
        EXPECT_THAT(callsMade, IsEmpty());
    }
    for (const FakeCall& call : callsMade) {
        if (action == Action::Look) {
            EXPECT_TRUE(call.function == kFakeLoad || call.function == kFakeUnload) << call.function;
        }
    }
    if (row.state == State::Programming && action == Action::Look) {
        ASSERT_TRUE(library);
        EXPECT_THAT(callsMade, IsEmpty());
    }

    // A script hears one answer at once, except for a job it started, which answers at its end; where
    // nothing is done, it hears why in the state's words.
    if (!kScripts.contains(action))
        return;
    ASSERT_EQ(heard.size(), action == Action::Program && cell == 'R' ? 0u : 1u);
    if (cell == '-') {
        EXPECT_EQ(heard[0].refusal, row.refusal);
        EXPECT_FALSE(heard[0].text.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(EveryCell, GateCellTest,
                         testing::Combine(testing::ValuesIn(kRows),
                                          testing::Values(Action::Connect, Action::Program, Action::SetLeds,
                                                          Action::SetPin, Action::Ping, Action::ReadKeys,
                                                          Action::PollKeys, Action::Close, Action::Look,
                                                          Action::Check)),
                         [](const testing::TestParamInfo<GateCellTest::ParamType>& info) {
                             return std::string(stateName(std::get<0>(info.param).state)) +
                                    kActionNames[static_cast<int>(std::get<1>(info.param))];
                         });

} // namespace
