#include "session/Session.h"

#include "board/BoardProtocol.h"
#include "board/Connection.h"
#include "board/Jtagport.h"
#include "common/EnumTable.h"
#include "common/Format.h"
#include "common/Texts.h"
#include "platform/Clock.h"
#include "platform/ProgramLocation.h"

#include <cstdio>
#include <utility>

namespace qbv::session {

using namespace qbv::colour;
using board::ConnectOutcome;

namespace {

std::string boardText(const char* format) {
    return formatText(format, text::kBoardName);
}

// One second after the board answered, so the window settles before the controls appear.
constexpr uint32_t kSettleMs = 1000;
// How long the progress bar of a programming job takes to fill.
constexpr uint32_t kProgrammingProgressMs = 30000;
// How long a close that the user confirmed during a sequence or job lets the work go on before it ends.
constexpr uint32_t kCloseGraceMs = 2000;

// A wait of milliseconds begun at start is over once more than that has passed; until then, how long is
// left.
bool over(uint32_t start, uint32_t milliseconds) {
    return platform::elapsedSince(start) > milliseconds;
}
uint32_t left(uint32_t start, uint32_t milliseconds) {
    return over(start, milliseconds) ? 0 : milliseconds + 1 - platform::elapsedSince(start);
}

ScriptReply refused(Refusal refusal, std::string text, std::string reason = {}) {
    return {refusal, std::nullopt, std::move(text), std::move(reason)};
}

LibraryFacts factsOf(const TJtagPort& port) {
    return {port.LibraryPath(), port.edition(), port.errorString(), port.errorDetail()};
}

} // namespace

Session::Session(SessionView& view, doctor::ProbeVirtualBoard probeVirtualBoard)
    : view_(view), probeVirtualBoard_(std::move(probeVirtualBoard)) {}

Session::~Session() {
    DestroyJtagPort();
}

void Session::enter(State state) {
    // Once the user has said quit, a step that is still finishing changes nothing the gate looks at.
    if (closing() || state == state_)
        return;
    state_ = state;
    view_.stateChanged(state);
}

void Session::log(const std::string& line) {
    view_.log(script_ ? "qbv: " + line : line);
}

Outcome Session::request(Action action, uint8_t data) {
    const Verdict said = verdict(action);
    if (action == Action::Close) {
        close();
        return {said};
    }
    if (said != Verdict::Run)
        return {said};
    bool succeeded = true;
    switch (action) {
    case Action::Connect:
        ConnectBoard();
        break;
    case Action::Program:
        ProgramMaxII();
        break;
    case Action::SetLeds:
        succeeded = SendIoCommand(board::kSetLeds, data);
        break;
    case Action::SetPin:
        succeeded = SendIoCommand(board::kSetGpioPin, data);
        break;
    case Action::Ping:
        succeeded = Ping();
        break;
    case Action::PollKeys:
        PollKeys();
        break;
    case Action::Check:
        CheckConnection();
        break;
    case Action::ReadKeys: // the polls keep the keys read
    case Action::Close:
    case Action::Look:
        break;
    }
    return {said, succeeded};
}

void Session::request(RequestId id, const ScriptRequest& request) {
    struct VerbAction {
        ScriptVerb verb;
        Action action;
    };
    static constexpr VerbAction kActions[] = {
        {ScriptVerb::Ping, Action::Ping},      {ScriptVerb::Led, Action::SetLeds},
        {ScriptVerb::Pin, Action::SetPin},     {ScriptVerb::Keys, Action::ReadKeys},
        {ScriptVerb::Watch, Action::ReadKeys}, {ScriptVerb::Program, Action::Program},
    };
    static_assert(rowsInEnumOrder(kActions, &VerbAction::verb, kScriptVerbCount));
    const Action action = rowOf(kActions, request.verb).action;
    if (!accepts(action))
        return view_.answerScript(id, refusal());
    script_ = true;
    if (action == Action::Program) {
        // The job answers once its outcome is known; its lines are the script's until it ends. The script
        // hears at once that it started.
        jobScript_ = id;
        view_.tellScript(id, {Refusal::None, std::nullopt, {}, {}, true, true});
        ProgramMaxII();
        return;
    }
    const uint8_t data = request.verb == ScriptVerb::Led   ? request.mask
                         : request.verb == ScriptVerb::Pin ? board::pinByte(request.pin, request.on)
                                                           : 0;
    const bool succeeded = this->request(action, data).succeeded;
    script_ = false;
    ScriptReply answer = reply(request, succeeded);
    // What the board said: the keys as the panel's polls last read them, with a ping's answer too.
    if (succeeded && (action == Action::ReadKeys || action == Action::Ping))
        answer.keys = keys_;
    view_.answerScript(id, answer);
}

void Session::forget(RequestId id) {
    if (jobScript_ == id)
        jobScript_.reset();
}

// Why the state turns a script away, in the table's words; without its library, the library's own reason.
ScriptReply Session::refusal() const {
    const Refused why = refusalOf(state_);
    const bool noLibrary = why.refusal == Refusal::NoLibrary && library_;
    return refused(why.refusal, why.text, noLibrary ? library_->reason : std::string());
}

ScriptReply Session::reply(const ScriptRequest& request, bool succeeded) const {
    if (succeeded)
        return {};
    switch (request.verb) {
    case ScriptVerb::Led:
        return refused(Refusal::Failed, text::kUpdateLedFail, text::kLostConnection);
    case ScriptVerb::Pin:
        return refused(Refusal::Failed, text::kUpdateGpioFail, text::kLostConnection);
    case ScriptVerb::Ping:
        return refused(Refusal::Failed, text::kLostConnection);
    default:
        return {};
    }
}

// What a script that asked for the job hears, once its outcome is known: the job's failure, or whether the
// board answered the sequence after it.
void Session::answerJob(std::optional<State> sequenceEnd) {
    if (!jobScript_)
        return;
    const RequestId id = *jobScript_;
    jobScript_.reset();
    ScriptReply answer;
    if (lastJob_.error != programming::ProgrammingError::NoError)
        answer = refused(lastJob_.error == programming::ProgrammingError::TimedOut ? Refusal::TimedOut
                                                                                   : Refusal::Unprogrammed,
                         text::kDownloadFail, lastJob_.text);
    else if (sequenceEnd && *sequenceEnd != State::Connected)
        answer = refused(Refusal::Unanswered, boardText(text::kNoResponse));
    else if (sequenceEnd)
        answer.keys = keys_;
    view_.answerScript(id, answer);
}

// Boxes: the work waits in a state of its own until the user answers.

void Session::openBox(Box box) {
    view_.openBox(box);
}

void Session::tell(Box box, std::function<void()> then) {
    enter(State::TellingFailure);
    box_ = PendingBox{box, [then = std::move(then)](Answer) { then(); }};
    openBox(std::move(box));
}

void Session::ask(Box box, std::function<void(bool)> then) {
    box.question = true;
    enter(State::AskingToProgram);
    box_ = PendingBox{box, [then = std::move(then)](Answer answer) { then(answer == Answer::Yes); }};
    openBox(std::move(box));
}

void Session::answer(Answer answer) {
    if (!box_)
        return;
    const std::function<void(Answer)> then = std::move(box_->then);
    box_.reset();
    then(answer);
}

// The close: one path for every way in.

void Session::close(bool canAsk) {
    switch (verdict(Action::Close)) {
    case Verdict::Run:
        return beginClosing(false);
    case Verdict::Confirm:
        if (!canAsk)
            return beginClosing(true);
        beneath_ = state_;
        state_ = State::AskingToQuit;
        view_.stateChanged(state_);
        box_ = PendingBox{{MessageKind::Warning, text::kQuitQuestion, {}, true}, [this](Answer answer) {
                              if (answer == Answer::Yes)
                                  return beginClosing(true);
                              // The work goes on where the question held it.
                              state_ = beneath_;
                              view_.stateChanged(state_);
                              advance();
                          }};
        return openBox(box_->box);
    default:
        // A second close while the question is up is absorbed, unless it cannot wait for the answer.
        if (state_ == State::AskingToQuit && !canAsk)
            answer(Answer::Yes);
        return;
    }
}

void Session::beginClosing(bool withGrace) {
    if (withGrace)
        graceStart_ = platform::tickCount();
    if (std::exchange(box_, std::nullopt))
        view_.closeBox();
    // A programmer is never cut off halfway through the controller: the panel waits for it, and says so.
    if (job_)
        view_.showStatus(text::kEndsAfterProgrammer, kBlue);
    settleStart_.reset();
    jobSequence_ = false;
    state_ = State::Closing;
    view_.stateChanged(state_);
    endIfDone();
}

// The panel ends once the close's grace is over and a programmer still running has ended (it is never
// stopped: a half-programmed controller would be worse).
void Session::endIfDone() {
    if (check_) {
        check_->interrupt("Not checked: the control panel is closing.");
        while (!check_->done())
            if (const std::optional<doctor::CheckLine> line = check_->step())
                view_.checked(*line);
        EndCheck();
    }
    if (job_) {
        if (!programmed_)
            return schedule();
        lastJob_ = {job_->error(), job_->errorString()};
        answerJob(std::nullopt);
        job_.reset();
        programmed_.reset();
    }
    if (graceStart_ && !over(*graceStart_, kCloseGraceMs))
        return schedule();
    graceStart_.reset();
    if (jobScript_) {
        view_.answerScript(*jobScript_, refused(Refusal::Closing, refusalOf(State::Closing).text));
        jobScript_.reset();
    }
    state_ = State::Closed;
    view_.stateChanged(state_);
    DestroyJtagPort();
    view_.ended();
}

// Time: the steps that wait go on once their time has come. While the user is asked whether to quit, the
// programmer is still watched, but nothing moves on until the answer.

void Session::advance() {
    if (job_ && !programmed_)
        PassProgrammer();
    if (state_ == State::Closed)
        return;
    if (state_ == State::AskingToQuit)
        return schedule();
    if (state_ == State::Closing)
        return endIfDone();
    if (programmed_) {
        const bool programmed = *programmed_;
        programmed_.reset();
        ProgrammerEnded(programmed);
    }
    if (settleStart_ && over(*settleStart_, kSettleMs)) {
        settleStart_.reset();
        BoardAnswered();
    }
    if (check_)
        StepCheck();
    schedule();
}

void Session::schedule() {
    std::optional<uint32_t> wait;
    const auto consider = [&wait](uint32_t milliseconds) {
        if (!wait || milliseconds < *wait)
            wait = milliseconds;
    };
    if (job_ && !programmed_)
        consider(programming::kPassWaitMs);
    if (check_)
        consider(0); // the next check, once the window has had its turn
    if (settleStart_)
        consider(left(*settleStart_, kSettleMs));
    if (graceStart_ && state_ == State::Closing)
        consider(left(*graceStart_, kCloseGraceMs));
    if (wait)
        view_.wakeAfter(*wait);
}

// The connection sequence.

void Session::ConnectBoard() {
    enter(State::Connecting);
    keys_ = 0;
    leds_ = 0;
    view_.releaseControls();
    view_.showStatus(boardText(text::kConnecting), kBlue);
    CreateJtagPort();
    // The library's own box comes the moment it failed to load, before the sequence says more.
    if (FJtagPort->error() != JtagPortError::NoError)
        return tell({MessageKind::Error, FJtagPort->errorString(), {}}, [this] { ProbeBoard(); });
    ProbeBoard();
}

void Session::ProbeBoard() {
    uint8_t keysAtConnect = 0;
    const ConnectOutcome outcome = board::ConnectPort(*FJtagPort, keysAtConnect);
    logConnectOutcome(outcome, keysAtConnect);
    view_.endProgressRun();
    switch (outcome) {
    case ConnectOutcome::LibraryNotLoaded: {
        const std::string why = FJtagPort->errorDetail();
        DestroyJtagPort();
        view_.showStatus(text::kFailLoadDriver, kRed);
        answerJob(State::NoDriver);
        return tell({MessageKind::Error, text::kFailLoadDriver, why},
                    [this] { EndSequence(State::NoDriver); });
    }
    case ConnectOutcome::LinkNotOpened: {
        // The box keeps its words, with the library's own reason beneath them when it gives one; a
        // terminal hears the reason too.
        const std::string reason = FJtagPort->linkErrorString();
        if (!reason.empty())
            std::fprintf(stderr, "%s: %s\n", platform::executableName().c_str(), reason.c_str());
        DestroyJtagPort();
        view_.showStatus(boardText(text::kFailConnect), kRed);
        answerJob(State::Disconnected);
        // The checklist names a controller without its code as one cause: programming stays in reach.
        return tell({MessageKind::Error, boardText(text::kFailConnectChecklist), reason},
                    [this] { EndSequence(State::Disconnected); });
    }
    case ConnectOutcome::NoResponse:
        return BoardDidNotAnswer();
    case ConnectOutcome::Connected:
        settleStart_ = platform::tickCount();
        return schedule();
    }
}

void Session::BoardAnswered() {
    view_.showStatus(boardText(text::kConnectSuccess), kGreen);
    EndSequence(State::Connected);
}

void Session::BoardDidNotAnswer() {
    DestroyJtagPort();
    view_.showStatus(boardText(text::kNoResponse), kRed);
    answerJob(State::Unanswered);
    ask({MessageKind::Error, boardText(text::kNoResponseQuestion), {}}, [this](bool yes) {
        if (yes)
            view_.postProgramming();
        EndSequence(yes ? State::ProgramAsked : State::Unanswered);
    });
}

void Session::EndSequence(State end) {
    if (!jobSequence_)
        return enter(end);
    jobSequence_ = false;
    answerJob(end);
    script_ = false;
    enter(session::afterJob(end, true));
}

void Session::CreateJtagPort() {
    DestroyJtagPort();
    FJtagPort = std::make_unique<TJtagPort>();
    library_ = factsOf(*FJtagPort);
}

void Session::DestroyJtagPort() {
    if (!FJtagPort)
        return;
    FJtagPort->Close();
    FJtagPort.reset();
}

LibraryFacts Session::library() {
    if (FJtagPort)
        return factsOf(*FJtagPort);
    // The file as it lies beside the program now, unless a job runs: the library is not loaded under the
    // programmer.
    if (!job_ && !closing())
        library_ = factsOf(TJtagPort());
    if (library_)
        return *library_;
    return {platform::programDirectory() + platform::jtagLibraryFileName(),
            {},
            "not read while the MAX II is being programmed",
            {}};
}

void Session::ConnectionLost() {
    log(text::kLostConnection);
    view_.showStatus(text::kLostConnection, kRed);
    DestroyJtagPort();
    enter(State::Disconnected);
}

// Commands and polls: each one step, over in at most its time-outs.

bool Session::SendCommand(int32_t command, uint8_t* data) {
    if (!FJtagPort || !FJtagPort->IsOpen())
        return false;
    return board::SendCommand(*FJtagPort, command, data);
}

bool Session::SendIoCommand(int32_t command, uint8_t data) {
    const bool leds = command == board::kSetLeds;
    // Only the LED command says what it is doing before it goes.
    if (leds)
        view_.showStatus(text::kUpdateLed, kBlue);
    enter(State::Commanding);
    uint8_t sent = data;
    const bool success = SendCommand(command, &sent);
    log(formatText("%s%s (bytes %s)", board::commandWords(command, data, leds_).c_str(),
                   success ? "" : ": not taken by the board",
                   board::commandBytesText(command, data).c_str()));
    enter(State::Connected);
    if (success) {
        if (leds)
            leds_ = data;
        view_.commandTaken(command, data);
        view_.showStatus(leds ? text::kUpdateLedSuccess : text::kUpdateGpioSuccess, kGreen);
    } else {
        view_.showStatus(leds ? text::kUpdateLedFail : text::kUpdateGpioFail, kRed);
        ConnectionLost();
    }
    return success;
}

bool Session::Ping() {
    enter(State::Commanding);
    uint8_t unused = 0;
    const bool answered = SendCommand(board::kPing, &unused);
    log(answered ? "Ping: answered (byte 00)" : "Ping: no answer (byte 00)");
    enter(State::Connected);
    if (!answered)
        ConnectionLost();
    return answered;
}

void Session::PollKeys() {
    enter(State::Commanding);
    uint8_t reply = 0;
    const bool answered = SendCommand(board::kReadKeys, &reply);
    if (answered) {
        if (reply != keys_)
            log(formatText("%s (key state 0x%02x)", board::pressedKeysText(reply).c_str(), reply));
        keys_ = reply;
        view_.keysRead(reply);
    }
    enter(State::Connected);
    if (!answered) {
        log("Key read: no answer (byte 06)");
        ConnectionLost();
    }
}

// The programming job: checks, the programmer started and watched every few milliseconds, its end told,
// and after a success the connection sequence again.

void Session::ProgramMaxII() {
    jobFound_ = state_;
    enter(State::Programming);
    view_.startProgressRun(kProgrammingProgressMs);
    DestroyJtagPort();
    view_.showStatus(text::kDownloadStart, kBlue);
    job_ = std::make_unique<programming::ProgrammingJob>();
    if (!job_->prepare()) {
        log("Programming checks: " + job_->errorString() +
            (job_->reason().empty() ? "" : " " + job_->reason()));
        return ProgrammerEnded(false);
    }
    view_.showStatus(text::kDownloadRunning, kBlue);
    log("Programmer: " + job_->commandLine());
    jobStart_ = platform::tickCount();
    if (!job_->start()) {
        logProgrammerEnd(job_->lastRun(), platform::elapsedSince(jobStart_));
        return ProgrammerEnded(false);
    }
    schedule();
}

void Session::PassProgrammer() {
    const bool wasEnding = job_->ending();
    if (const std::optional<bool> programmed = job_->pass()) {
        logProgrammerEnd(job_->lastRun(), platform::elapsedSince(jobStart_));
        programmed_ = *programmed;
    } else if (!wasEnding && job_->ending()) {
        log(formatText("The programmer still runs after %u ms: it is ended, with what it started; nothing "
                       "reaches the cable until they have gone",
                       platform::elapsedSince(jobStart_)));
    }
}

void Session::ProgrammerEnded(bool programmed) {
    lastJob_ = {job_->error(), job_->errorString()};
    // A failed check's error box, or the unexpected exit code's information box, before the red status;
    // the job's reason, when it gives one, beneath the box's words.
    const std::optional<MessageKind> kind = programming::messageKindOf(job_->error());
    Box box{kind.value_or(MessageKind::Error), job_->errorString(), job_->reason()};
    job_.reset();
    if (!programmed)
        answerJob(std::nullopt);
    if (kind) {
        // The job has ended: no progress runs on behind the box that says how.
        view_.endProgressRun();
        return tell(std::move(box), [this, programmed] { JobReported(programmed); });
    }
    JobReported(programmed);
}

void Session::JobReported(bool programmed) {
    view_.showStatus(programmed ? text::kDownloadSuccess : text::kDownloadFail, programmed ? kGreen : kRed);
    log(programmed ? text::kDownloadSuccess : text::kDownloadFail);
    view_.endProgressRun();
    if (programmed) {
        jobSequence_ = true;
        return ConnectBoard();
    }
    script_ = false;
    enter(session::afterJob(jobFound_, false));
}

// The check of the connection: the whole way to the board, one check a turn, over the panel's link when it
// holds one, else over a link of its own that it closes again.

void Session::CheckConnection() {
    checkFound_ = state_;
    enter(State::Checking);
    doctor::DoctorContext context;
    context.inPanel = true;
    context.panelPort = FJtagPort && FJtagPort->IsOpen() ? FJtagPort.get() : nullptr;
    context.probeVirtualBoard = probeVirtualBoard_;
    check_ = std::make_unique<doctor::Doctor>(std::move(context));
    log("Check the connection: started");
    schedule();
}

void Session::StepCheck() {
    if (const std::optional<doctor::CheckLine> line = check_->step()) {
        if (line->result.status == doctor::CheckStatus::Failed)
            log(formatText("Check the connection: %s failed: %s", line->name, line->result.detail.c_str()));
        view_.checked(*line);
    }
    if (check_->done())
        EndCheck();
}

void Session::EndCheck() {
    const doctor::Ending ending = check_->ending();
    check_.reset();
    if (ending == doctor::Ending::Passed)
        log("Check the connection: every check passed");
    view_.checkEnded(ending);
    enter(checkFound_);
}

void Session::logConnectOutcome(ConnectOutcome outcome, uint8_t keys) {
    const std::string& library = FJtagPort->LibraryPath();
    switch (outcome) {
    case ConnectOutcome::LibraryNotLoaded:
        log("Connect: the JTAG library did not load: " + FJtagPort->errorString());
        break;
    case ConnectOutcome::LinkNotOpened: {
        const std::string& reason = FJtagPort->linkErrorString();
        log("Connect: the link did not open (" + library + ")" + (reason.empty() ? "" : ": " + reason));
        break;
    }
    case ConnectOutcome::NoResponse:
        log("Connect: commands 00 (ping) and 06 (read keys): no answer from the board");
        break;
    case ConnectOutcome::Connected:
        log(formatText("Connect: commands 00 (ping) and 06 (read keys) answered, keys 0x%02x (%s, %s)", keys,
                       library.c_str(), FJtagPort->edition().c_str()));
        break;
    }
}

void Session::logProgrammerEnd(const programming::ProgrammerRun& ran, uint32_t milliseconds) {
    using programming::ProgrammerEnd;
    switch (ran.end) {
    case ProgrammerEnd::TimedOut:
        log(formatText("Programmer ended %u ms after it started, as it ran out of time", milliseconds));
        break;
    case ProgrammerEnd::NotStarted:
        log("Programmer not started: " + ran.startFailure);
        break;
    default:
        log(formatText("Programmer ended with exit code 0x%x after %u ms", ran.exitCode, milliseconds));
    }
}

} // namespace qbv::session
