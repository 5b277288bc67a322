// Random sequences of every input the panel takes, in whatever state it is in, checked after every step
// against what it promises its user, its board and its scripts. 10,000 sequences unless RC_PARAMS says
// otherwise; to search longer, e.g.
//   RC_PARAMS="max_success=200000" bin/qbv_session_tests --gtest_filter='SessionModel*'
// A failure prints the shortest sequence found and the RC_PARAMS="reproduce=..." that replays it.

#include "tests/session/SessionBench.h"

#include "board/BoardProtocol.h"
#include "platform/Environment.h"
#include "tests/programming/TestProgrammerSettings.h"

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include <chrono>
#include <map>
#include <thread>

using namespace qbv::session;
using qbv::test::FakeJtag;
using qbv::test::oneOf;
using qbv::test::ProgramFolder;
using Kind = qbv::test::RecordingView::Kind;

namespace {

// RapidCheck reads RC_PARAMS at its first property: this suite's count, unless the caller gave one.
[[maybe_unused]] const bool kDefaultRuns = [] {
    if (std::getenv("RC_PARAMS") == nullptr)
        qbv::platform::setEnvironmentVariable("RC_PARAMS", "max_success=10000");
    return true;
}();

// The panel's own inputs first, in the order of their actions; Reply answers the box that is up (Yes or No
// where it asks, OK where it tells), Deliver the programming message (1026) as any sender posts it, Signal
// closes without asking, Forget is a script's client leaving, Check the menu's check of the connection.
// clang-format off
enum Input : uint8_t {
    Connect, Program, Leds, Pin, PollKeys, Look, Close, Signal, Reply, Deliver, Script, Forget, Check,
    SetBoard, SetLibrary, SetProgrammer, Wait,
};
// clang-format on
constexpr const char* kInputNames[] = {
    "Connect", "Program", "Leds",   "Pin",   "PollKeys", "Look",       "Close",         "Signal", "Reply",
    "Deliver", "Script",  "Forget", "Check", "SetBoard", "SetLibrary", "SetProgrammer", "Wait"};
constexpr Action kActionOf[] = {Action::Connect, Action::Program, Action::SetLeds, Action::SetPin,
                                Action::PollKeys};
constexpr uint32_t kWaits[] = {1, 10, 500, 1001, 2001, 3100, 30000, 60001};

enum class Board { Answers, Deaf, Mute, Lost, Unplugged };
enum class Programmer { Succeeds, Fails, ExitCode, Hangs, NoDesignFile };

struct Step {
    Input input;
    uint32_t value; // the LED mask, the pin byte, Yes, the verb, the request, the kind, the time
};

void showValue(const Step& step, std::ostream& out) {
    out << kInputNames[step.input] << " " << step.value;
}

rc::Gen<Step> anyStep() {
    // clang-format off
    return rc::gen::construct<Step>(rc::gen::weightedElement<Input>({
        {4, Connect}, {3, Program}, {2, Leds}, {1, Pin}, {2, PollKeys}, {1, Look}, {2, Close}, {1, Signal},
        {6, Reply}, {2, Deliver}, {4, Script}, {2, Forget}, {2, Check}, {2, SetBoard}, {1, SetLibrary}, {2, SetProgrammer},
        {8, Wait}}), rc::gen::inRange<uint32_t>(0, 256));
    // clang-format on
}

// The panel's folder, made once; its library whole, lacking a function, or gone as a sequence says. It is
// the program's folder for the session a run makes.
const ProgramFolder& modelFolder() {
    static const ProgramFolder folder;
    qbv::test::setProgramFolder(folder.directory.directory());
    return folder;
}

bool after(uint32_t tick, uint32_t bound) {
    return static_cast<int32_t>(tick - bound) > 0;
}

// One sequence: the session, and what the view has shown of it so far.
class Run {
public:
    explicit Run(uint32_t start) : bench_(start) {
        modelFolder().library(0);
        setProgrammer(Programmer::Succeeds);
        setBoard(Board::Answers, 0);
    }

    void give(const Step& step) {
        if (ended_)
            return; // the panel is gone
        Session& session = bench_.session;
        const auto byte = static_cast<uint8_t>(step.value);
        switch (step.input) {
        case Look:
            if (session.request(Action::Look).verdict == Verdict::Run)
                session.library();
            break;
        case Close:
        case Signal:
            session.close(step.input == Close);
            break;
        case Reply:
            bench_.answer(step.value % 2 == 0);
            break;
        case Deliver:
            bench_.deliverPosts();
            break;
        case Script:
            session.request(nextId_++,
                            {ScriptVerb(step.value % 6), byte, int(step.value % 88), byte % 2 == 1});
            break;
        case Forget: // any request made so far, answered or not
            if (nextId_ > 1) {
                forgotten_[1 + step.value % (nextId_ - 1)] = true;
                session.forget(1 + step.value % (nextId_ - 1));
            }
            break;
        case Check:
            session.request(Action::Check);
            break;
        case SetBoard:
            setBoard(Board(step.value % 5), byte % 16);
            break;
        case SetLibrary:
            modelFolder().library(static_cast<int>(step.value % 3));
            break;
        case SetProgrammer:
            setProgrammer(Programmer(step.value % 5));
            break;
        case Wait:
            bench_.clock.advance(kWaits[step.value % std::size(kWaits)]);
            wake();
            break;
        default:
            session.request(kActionOf[step.input], byte);
        }
        audit();
    }

    // A signal ends every sequence: the panel ends within its bound, and every script that stayed has
    // heard its one answer.
    void finish() {
        give({Signal, 0});
        for (int wakes = 0; !ended_ && wakes < 200; ++wakes) {
            expect(bench_.view.wakeAt.has_value(), "closing, but nothing is left to end it");
            // A slow timer: the wake comes late, so a programmer that hangs reaches its time-out soon.
            bench_.clock.advance(std::max<int32_t>(*bench_.view.wakeAt - qbv::platform::tickCount(), 997));
            wake();
        }
        expect(ended_, "not ended");
        for (RequestId id = 1; id < nextId_; ++id)
            expect(forgotten_[id] || answers_[id] == 1,
                   "a script answered " + std::to_string(answers_[id]) + " times");
    }

private:
    void expect(bool kept, const std::string& promise) {
        if (!kept)
            RC_FAIL(promise + " (state " + stateName(shown_) + ")");
    }

    // The window's timer comes once the time the session asked for has passed. A programmer told to end at
    // once, or ended as its time ran out, has ended by then: time passes in small steps until the session
    // sees it end.
    void wake() {
        letProgrammerEnd();
        bench_.wakeIfDue();
        audit();
        letProgrammerEnd();
        expect(!closing_ || ended_ || !after(qbv::platform::tickCount(), closeBound_), "not ended in time");
    }

    void letProgrammerEnd() {
        for (int steps = 0; programmer_ && running_ != Programmer::Hangs && steps < 4000; ++steps) {
            std::this_thread::sleep_for(std::chrono::microseconds(100));
            bench_.passTime(10);
            audit();
        }
    }

    // Goes through what the view was told since the last step, with the library calls made in between.
    void audit() {
        const auto& events = bench_.view.events;
        for (; seenEvents_ < events.size(); ++seenEvents_) {
            callsUpTo(events[seenEvents_].boardCalls);
            take(events[seenEvents_]);
        }
        callsUpTo(bench_.fake.script().callCount);
        expect(bench_.view.boxesOverlaid == 0, "a box opened over another");
        // Nothing stands still: work under way has a box, a wake or a posted message to move it on.
        const bool box = bench_.view.box.has_value(), wakes = bench_.view.wakeAt.has_value();
        if (closing_)
            expect(ended_ || wakes, "closing, but nothing is left to end it");
        else if (oneOf(shown_, {State::Connecting, State::Programming, State::Checking, State::ProgramAsked}))
            expect(box || wakes, "work under way, or asked for, that nothing moves on");
        else if (oneOf(shown_, {State::TellingFailure, State::AskingToProgram, State::AskingToQuit}))
            expect(box, "waiting for an answer to no box");
        // Keys pressed show within 100 ms only while each poll follows the last within the interval.
        const std::optional<uint32_t> interval = bench_.view.pollInterval;
        expect(!interval || *interval <= qbv::board::kPollIntervalMs,
               "a key poll set further off than the interval");
    }

    void callsUpTo(int count) {
        for (; seenCalls_ < count; ++seenCalls_) {
            const int32_t function = bench_.fake.script().calls[seenCalls_].function;
            if (function == kFakeClose || function == kFakeUnload)
                continue;
            expect(!programmer_, "the library called while the programmer runs: " + std::to_string(function));
            expect(function == kFakeLoad || ((sequence_ || command_ || check_) && !job_ && !closing_),
                   "the board reached with no sequence, command or check under way: " +
                       std::to_string(function));
        }
    }

    void take(const qbv::test::RecordingView::Event& event) {
        expect(!ended_, "the view told more after the end");
        const bool idle = !sequence_ && !command_ && !job_ && !check_ && !closing_;
        const auto state = static_cast<State>(event.value);
        const std::string line = event.text.starts_with("qbv: ") ? event.text.substr(5) : event.text;
        switch (event.kind) {
        case Kind::State:
            expect(!closing_ || state == State::Closed, "work went on after quit");
            expect(state != State::Commanding || idle, "a command started while other work runs");
            expect(state != State::Checking || idle, "a check started while other work runs");
            expect(!returning_ || closing_ || state == checkFound_, "a check left the link elsewhere");
            returning_ = false;
            if (state == State::Checking) {
                check_ = true;
                checkFound_ = shown_;
            }
            command_ = state == State::Commanding;
            sequence_ &= oneOf(state, {State::Connecting, State::TellingFailure, State::AskingToProgram,
                                       State::AskingToQuit});
            job_ &= oneOf(state,
                          {State::Programming, State::TellingFailure, State::AskingToQuit, State::Closing});
            if (state == State::Closing) {
                closing_ = true;
                closeBound_ = event.at + 2000;
                // A programmer still running holds the end until its time is out and it has been ended.
                const uint32_t programmerBound = programmerStart_ + qbv::programming::kProgrammerTimeoutMs +
                                                 qbv::programming::kProgrammerEndingMs;
                if (programmer_ && after(programmerBound, closeBound_))
                    closeBound_ = programmerBound;
            }
            shown_ = state;
            break;
        case Kind::Status:
            if (event.text == "Connecting QB-vela ...") {
                expect(idle, "a sequence started while other work runs");
                sequence_ = true;
            }
            break;
        case Kind::Progress:
            expect(idle, "a job started while other work runs");
            job_ = true;
            break;
        case Kind::Box:
            expect(!closing_, "a box or a job asked for after quit");
            break;
        case Kind::Log:
            if (line.starts_with("Programmer: ")) {
                expect(job_ && !programmer_, "a programmer started outside its job");
                programmer_ = true;
                running_ = programmerKind_;
                programmerStart_ = event.at;
            } else if (line.starts_with("Programmer ")) {
                programmer_ = false;
            } else if (line.starts_with("The programmer still runs")) {
                running_ = Programmer::Succeeds; // ended, it is gone in a moment of real time
            }
            break;
        case Kind::Answer:
            expect(!forgotten_[event.value], "a script answered after its client left");
            expect(++answers_[event.value] == 1, "a script answered twice");
            break;
        case Kind::Checked:
            expect(check_, "a check's line outside a check");
            break;
        case Kind::CheckEnded:
            expect(check_, "a check ended twice");
            check_ = false;
            returning_ = true;
            break;
        case Kind::Ended:
            expect(closing_ && !check_, "ended without a close, or under a check");
            ended_ = true;
            break;
        }
    }

    void setBoard(Board board, uint8_t keys) {
        FakeJtag& fake = bench_.fake;
        fake.setFallback(kFakeInit, FakeJtag::step(board == Board::Unplugged ? -1 : 0));
        fake.setFallback(kFakeWrite, FakeJtag::step(board == Board::Lost ? 1 : 0,
                                                    board == Board::Deaf ? 0 : kFakeAcceptAll));
        fake.setFallback(kFakeRead,
                         board == Board::Answers ? FakeJtag::reply({keys}) : FakeJtag::step(0, 0, -1, 100));
    }

    void setProgrammer(Programmer programmer) {
        using namespace qbv::test;
        static constexpr const char* kExit[] = {"0", "3", "1", "0", "0"};
        qbv::platform::setEnvironmentVariable(kProgrammerExitVariable, kExit[static_cast<int>(programmer)]);
        qbv::platform::setEnvironmentVariable(kProgrammerRunVariable,
                                              programmer == Programmer::Hangs ? "500" : "0");
        static bool designed = true;
        if (designed != (programmer != Programmer::NoDesignFile)) {
            designed = !designed;
            modelFolder().designFile(designed);
        }
        programmerKind_ = programmer;
    }

    const ProgramFolder& folder_ = modelFolder(); // before the session made in it
    qbv::test::SessionBench bench_;
    RequestId nextId_ = 1;
    std::map<RequestId, bool> forgotten_;
    std::map<RequestId, int> answers_;
    Programmer programmerKind_ = Programmer::Succeeds;

    // What the view has shown so far: the state, the work under way, the programmer and its kind.
    size_t seenEvents_ = 0;
    int seenCalls_ = 0;
    State shown_ = State::Disconnected;
    bool sequence_ = false, command_ = false, job_ = false, programmer_ = false, closing_ = false,
         ended_ = false, check_ = false, returning_ = false;
    State checkFound_ = State::Disconnected;
    Programmer running_ = Programmer::Succeeds;
    uint32_t programmerStart_ = 0, closeBound_ = 0;
};

} // namespace

RC_GTEST_PROP(SessionModel, EveryInputSequenceKeepsThePanelsPromises, ()) {
    // From early on the clock, or from just before its 32-bit wrap.
    Run run(*rc::gen::element(1000u, 0xFFFF0000u));
    for (const Step& step : *rc::gen::container<std::vector<Step>>(anyStep()))
        run.give(step);
    run.finish();
}
