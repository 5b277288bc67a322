// Random sequences of every input the panel takes, in whatever state it is in, checked after every step
// against what it promises its user, its board and its scripts. 10,000 sequences unless RC_PARAMS says
// otherwise; to search longer, e.g.
//   RC_PARAMS="max_success=200000" bin/qbv_session_tests --gtest_filter='SessionModel*'
// A failure prints the shortest sequence found and the RC_PARAMS="reproduce=..." that replays it.

#include "tests/session/SessionBench.h"

#include "common/Texts.h"
#include "platform/Environment.h"
#include "tests/programming/TestProgrammerSettings.h"

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include <chrono>
#include <map>
#include <thread>

using namespace qbv::session;
using qbv::test::FakeJtag;
using qbv::test::ProgramFolder;
using Kind = qbv::test::RecordingView::Kind;

namespace {

[[maybe_unused]] const bool kDefaultRuns = [] {
    if (std::getenv("RC_PARAMS") == nullptr)
        qbv::platform::setEnvironmentVariable("RC_PARAMS", "max_success=10000");
    return true;
}();

enum class Programmer { Succeeds, Fails, ExitCode, Hangs, NoDesignFile };
enum class Board { Answers, Deaf, Mute, Lost, Unplugged };
enum class Library { Whole, Incomplete, Missing };

struct Input {
    enum Kind {
        Connect, // F5, the button, the menu, message 1025
        Program, // Download, the menu
        Leds,
        Pin,
        PollKeys,
        Look, // About, the log, the menu
        Close,
        Signal,  // a close nobody can be asked about
        Reply,   // to the box that is up: Yes or No where it asks, OK where it tells
        Deliver, // the programming message posted by a Yes
        Script,
        Forget, // a script's client leaves
        SetBoard,
        SetLibrary,
        SetProgrammer,
        Wait,
    } kind;
    uint32_t value; // the LED mask, the pin byte, Yes, the verb, the request, the kind, the time
};

constexpr const char* kInputNames[] = {
    "Connect", "Program", "Leds",   "Pin",    "PollKeys", "Look",       "Close",         "Signal",
    "Reply",   "Deliver", "Script", "Forget", "SetBoard", "SetLibrary", "SetProgrammer", "Wait"};
constexpr uint32_t kWaits[] = {1, 10, 500, 1001, 2001, 3100, 30000, 60001};

void showValue(const Input& input, std::ostream& out) {
    out << kInputNames[input.kind] << " " << input.value;
}

rc::Gen<Input> anyInput() {
    using K = Input::Kind;
    return rc::gen::construct<Input>(rc::gen::weightedElement<K>({{4, K::Connect},
                                                                  {3, K::Program},
                                                                  {2, K::Leds},
                                                                  {1, K::Pin},
                                                                  {2, K::PollKeys},
                                                                  {1, K::Look},
                                                                  {2, K::Close},
                                                                  {1, K::Signal},
                                                                  {6, K::Reply},
                                                                  {2, K::Deliver},
                                                                  {4, K::Script},
                                                                  {2, K::Forget},
                                                                  {2, K::SetBoard},
                                                                  {1, K::SetLibrary},
                                                                  {2, K::SetProgrammer},
                                                                  {8, K::Wait}}),
                                     rc::gen::inRange<uint32_t>(0, 256));
}

// The panel's folder three times over, made once: the library whole, lacking a function, and gone.
struct Folders {
    ProgramFolder whole;
    ProgramFolder incomplete{9};
    ProgramFolder missing{qbv::test::FakeLibraryDirectory::kWhole, false};
};
Folders& folders() {
    static Folders made;
    return made;
}

bool oneOf(State state, std::initializer_list<State> states) {
    return std::find(states.begin(), states.end(), state) != states.end();
}

// One sequence: the session, and what the view has shown of it so far.
class Run {
public:
    Run() {
        folders().whole.use();
        setProgrammer(Programmer::Succeeds);
        setBoard(Board::Answers, 0);
    }

    void give(const Input& input) {
        if (ended_)
            return; // the panel is gone
        Session& session = bench_.session;
        switch (input.kind) {
        case Input::Connect:
            session.request(Action::Connect);
            break;
        case Input::Program:
            session.request(Action::Program);
            break;
        case Input::Leds:
            session.request(Action::SetLeds, static_cast<uint8_t>(input.value));
            break;
        case Input::Pin:
            session.request(Action::SetPin, static_cast<uint8_t>(input.value));
            break;
        case Input::PollKeys:
            session.request(Action::PollKeys);
            break;
        case Input::Look:
            if (session.request(Action::Look).verdict == Verdict::Run)
                session.library();
            break;
        case Input::Close:
        case Input::Signal:
            session.close(input.kind == Input::Close);
            break;
        case Input::Reply:
            bench_.answer(input.value % 2 == 0);
            break;
        case Input::Deliver:
            bench_.deliverPosts();
            break;
        case Input::Script: {
            const auto verb = static_cast<ScriptVerb>(input.value % 6);
            const int pin = static_cast<int>(input.value % 88);
            session.request(nextId_++, {verb, static_cast<uint8_t>(input.value), pin, input.value % 2 == 1});
            break;
        }
        case Input::Forget:
            if (nextId_ > 1) {
                const RequestId id = 1 + input.value % (nextId_ - 1);
                forgotten_[id] = true;
                session.forget(id);
            }
            break;
        case Input::SetBoard:
            setBoard(static_cast<Board>(input.value % 5), static_cast<uint8_t>(input.value % 16));
            break;
        case Input::SetLibrary: {
            const ProgramFolder* kinds[] = {&folders().whole, &folders().incomplete, &folders().missing};
            kinds[input.value % 3]->use();
            break;
        }
        case Input::SetProgrammer:
            setProgrammer(static_cast<Programmer>(input.value % 5));
            break;
        case Input::Wait:
            bench_.clock.advance(kWaits[input.value % std::size(kWaits)]);
            wake();
            break;
        }
        audit();
    }

    // A signal ends every sequence: the panel ends within its bound, and every script that stayed has
    // heard its one answer.
    void finish() {
        give({Input::Deliver, 0});
        give({Input::Signal, 0});
        for (int wakes = 0; !ended_ && wakes < 200; ++wakes) {
            expect(bench_.view.wakeAt.has_value(), "closing, but nothing is left to end it");
            // A slow timer: the wake comes late, so a programmer that hangs reaches its time-out soon.
            bench_.clock.set(std::max(*bench_.view.wakeAt, qbv::platform::tickCount() + 997));
            wake();
        }
        expect(ended_, "not ended");
        for (RequestId id = 1; id < nextId_; ++id)
            if (!forgotten_[id])
                expect(answers_[id] == 1, "script request " + std::to_string(id) + " answered " +
                                              std::to_string(answers_[id]) + " times");
    }

private:
    void expect(bool kept, const std::string& promise) {
        if (!kept)
            RC_FAIL(promise + " (state " + stateName(shown_) + ")");
    }

    // The window's timer comes, once the time the session asked for has passed. A programmer told to end at
    // once has ended by then: time passes in small steps until the session sees it end.
    void wake() {
        for (int steps = 0; programmer_ && running_ != Programmer::Hangs && steps < 4000; ++steps) {
            std::this_thread::sleep_for(std::chrono::microseconds(250));
            bench_.clock.advance(10);
            bench_.wakeIfDue();
            audit();
        }
        bench_.wakeIfDue();
        audit();
        expect(!closing_ || ended_ || qbv::platform::tickCount() <= closeBound_,
               "not ended " + std::to_string(qbv::platform::tickCount() - closeBound_) +
                   " ms past its bound");
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
        if (ended_)
            return;
        // Nothing stands still: work under way has a box, a wake or a posted message to move it on.
        const bool box = bench_.view.box.has_value(), wakes = bench_.view.wakeAt.has_value();
        if (closing_)
            expect(wakes, "closing, but nothing is left to end it");
        else if (oneOf(shown_, {State::Connecting, State::Programming}))
            expect(box || wakes, "work under way that nothing moves on");
        else if (shown_ == State::ProgramAsked)
            expect(bench_.view.posts > 0, "programming asked for but not posted");
        else if (oneOf(shown_, {State::TellingFailure, State::AskingToProgram, State::AskingToQuit}))
            expect(box, "waiting for an answer to no box");
    }

    void callsUpTo(int count) {
        const FakeJtagScript& script = bench_.fake.script();
        for (; seenCalls_ < count; ++seenCalls_) {
            const int32_t function = script.calls[seenCalls_].function;
            if (function == kFakeClose || function == kFakeUnload)
                continue;
            expect(!programmer_, "the library called while the programmer runs: " + std::to_string(function));
            if (function != kFakeLoad)
                expect((sequence_ || command_) && !job_ && !closing_,
                       "the board reached with no sequence or command under way: " +
                           std::to_string(function));
        }
    }

    void take(const qbv::test::RecordingView::Event& event) {
        expect(!ended_, "the view told more after the end");
        const bool idle = !sequence_ && !command_ && !job_ && !closing_;
        switch (event.kind) {
        case Kind::State: {
            const auto state = static_cast<State>(event.value);
            expect(!closing_ || state == State::Closed, "work went on after quit");
            if (state == State::Commanding)
                expect(idle, "a command started while other work runs");
            command_ = state == State::Commanding;
            sequence_ &= oneOf(state, {State::Connecting, State::TellingFailure, State::AskingToProgram,
                                       State::AskingToQuit});
            job_ &= oneOf(state,
                          {State::Programming, State::TellingFailure, State::AskingToQuit, State::Closing});
            if (state == State::Closing) {
                closing_ = true;
                closeBound_ = event.at + 2000;
                if (programmer_)
                    closeBound_ =
                        std::max(closeBound_, programmerStart_ + qbv::programming::kProgrammerTimeoutMs);
            }
            shown_ = state;
            break;
        }
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
        case Kind::Posted:
            expect(!closing_, "a box or a job asked for after quit");
            break;
        case Kind::Log: {
            const std::string line = event.text.starts_with("qbv: ") ? event.text.substr(5) : event.text;
            if (line.starts_with("Programmer: ")) {
                expect(job_ && !programmer_, "a programmer started outside its job");
                programmer_ = true;
                running_ = programmerKind_;
                programmerStart_ = event.at;
            } else if (line.starts_with("Programmer ")) {
                programmer_ = false;
            }
            break;
        }
        case Kind::Answer:
            expect(!forgotten_[event.value], "a script answered after its client left");
            expect(++answers_[event.value] == 1, "a script answered twice");
            break;
        case Kind::Ended:
            expect(closing_, "ended without a close");
            ended_ = true;
            break;
        default:
            break;
        }
    }

    void setBoard(Board board, uint8_t keys) {
        FakeJtag& fake = bench_.fake;
        const FakeStep silent = FakeJtag::step(0, 0, -1, 100);
        fake.setFallback(kFakeInit, FakeJtag::step(board == Board::Unplugged ? -1 : 0));
        fake.setFallback(kFakeWrite, board == Board::Lost   ? FakeJtag::step(1)
                                     : board == Board::Deaf ? FakeJtag::step(0, 0)
                                                            : FakeJtag::step(0));
        fake.setFallback(kFakeRead, board == Board::Answers ? FakeJtag::reply({keys}) : silent);
    }

    void setProgrammer(Programmer programmer) {
        using namespace qbv::test;
        static constexpr const char* kExit[] = {"0", "3", "1", "0", "0"};
        qbv::platform::setEnvironmentVariable(kProgrammerExitVariable, kExit[static_cast<int>(programmer)]);
        qbv::platform::setEnvironmentVariable(kProgrammerRunVariable,
                                              programmer == Programmer::Hangs ? "500" : "0");
        for (const ProgramFolder* folder : {&folders().whole, &folders().incomplete, &folders().missing})
            folder->designFile(programmer != Programmer::NoDesignFile);
        programmerKind_ = programmer;
    }

    qbv::test::SessionBench bench_;
    RequestId nextId_ = 1;
    std::map<RequestId, bool> forgotten_;
    std::map<RequestId, int> answers_;
    Programmer programmerKind_ = Programmer::Succeeds;

    // What the view has shown so far: the state, the work under way, the programmer and its kind.
    size_t seenEvents_ = 0;
    int seenCalls_ = 0;
    State shown_ = State::Disconnected;
    bool sequence_ = false, command_ = false, job_ = false, programmer_ = false;
    Programmer running_ = Programmer::Succeeds;
    uint32_t programmerStart_ = 0;
    bool closing_ = false, ended_ = false;
    uint32_t closeBound_ = 0;
};

} // namespace

RC_GTEST_PROP(SessionModel, EveryInputSequenceKeepsThePanelsPromises, ()) {
    const std::vector<Input> inputs = *rc::gen::container<std::vector<Input>>(anyInput());
    Run run;
    for (const Input& input : inputs)
        run.give(input);
    run.finish();
}
