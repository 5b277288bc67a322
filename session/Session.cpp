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

LibraryFacts factsOf(const TJtagPort& port) {
    return {port.LibraryPath(), port.edition(), port.errorString(), port.errorDetail()};
}

} // namespace

Session::Session(SessionView& view, std::string folder, doctor::ProbeVirtualBoard probeVirtualBoard)
    : view_(view), folder_(std::move(folder)), probeVirtualBoard_(std::move(probeVirtualBoard)) {}

Session::~Session() {
    DestroyJtagPort();
}

// Every change of state: drawn by the view and heard by the listeners. Once the user has said quit, a step
// that is still finishing changes nothing the gate looks at: only the close goes on.
void Session::enter(State state) {
    const bool closingStep = state == State::Closing || state == State::Closed;
    if (state == state_ || state_ == State::Closed || (closing() && !closingStep))
        return;
    state_ = state;
    view_.stateChanged(state);
    for (SessionListener* listener : listeners_)
        listener->entered(state);
}

void Session::log(const std::string& line) {
    const bool forScript = scriptCommand_ || (work_ && work_->forScript);
    for (SessionListener* listener : listeners_)
        listener->logged(forScript ? "qbv: " + line : line);
}

void Session::showConnecting() {
    view_.showStatus(boardText(text::kConnecting), kBlue);
}

void Session::shown() {
    showConnecting();
}

Outcome Session::request(Action action, uint8_t data) {
    const Verdict said = verdict(action);
    if (action == Action::Close) {
        close();
        return {said};
    }
    // A poll that meets a command or a check waits for it.
    if (action == Action::PollKeys && said == Verdict::Defer)
        view_.pollAfter(board::kPollIntervalMs);
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
        return answer(id, refusal());
    if (action == Action::Program) {
        // The job answers once its outcome is known; its lines are the script's until it ends. The script
        // hears at once that it started.
        for (SessionListener* listener : listeners_)
            listener->told(id, {Refusal::None, std::nullopt, {}, {}, true, true});
        return ProgramMaxII(id);
    }
    scriptCommand_ = true;
    const bool succeeded = this->request(action, commandData(request)).succeeded;
    scriptCommand_ = false;
    ScriptReply answer = reply(request, succeeded);
    // What the board said: the keys as the panel's polls last read them, with a ping's answer too.
    if (succeeded && (action == Action::ReadKeys || action == Action::Ping))
        answer.keys = keys_;
    this->answer(id, answer);
}

void Session::forget(RequestId id) {
    if (work_ && work_->answers == id)
        work_->answers.reset();
}

void Session::answer(RequestId id, const ScriptReply& reply) {
    for (SessionListener* listener : listeners_)
        listener->answered(id, reply);
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
    // An LED or pin command's own words, with the lost link beneath them.
    const ScriptReply lost = refused(Refusal::Failed);
    const char* words = commandFailure(request.verb);
    return words == lost.text ? lost : refused(Refusal::Failed, words, lost.text);
}

// What a script that asked for the job hears, once its outcome is known: the job's failure, or whether the
// board answered the sequence after it.
void Session::answerJob(std::optional<State> sequenceEnd) {
    if (!work_ || !work_->answers)
        return;
    const RequestId id = *std::exchange(work_->answers, std::nullopt);
    ScriptReply answer;
    if (lastJob_.error != programming::ProgrammingError::NoError) {
        answer = refused(lastJob_.error == programming::ProgrammingError::TimedOut ? Refusal::TimedOut
                                                                                   : Refusal::Unprogrammed);
        answer.reason = lastJob_.text;
    } else if (sequenceEnd && *sequenceEnd != State::Connected)
        answer = refused(Refusal::Unanswered);
    else if (sequenceEnd)
        answer.keys = keys_;
    this->answer(id, answer);
}

// Boxes: the work waits in a state of its own until the user answers.

void Session::tell(Box box, std::function<void()> then) {
    enter(State::TellingFailure);
    box_ = PendingBox{box, [then = std::move(then)](Answer) { then(); }};
    view_.openBox(box_->box);
}

void Session::ask(Box box, State asking, std::function<void(bool)> then) {
    box.question = true;
    enter(asking);
    box_ = PendingBox{box, [then = std::move(then)](Answer answer) { then(answer == Answer::Yes); }};
    view_.openBox(box_->box);
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
        work_->underQuestion = state_;
        return ask({MessageKind::Warning, text::kQuitQuestion, {}}, State::AskingToQuit, [this](bool yes) {
            if (yes)
                return beginClosing(true);
            // The work goes on where the question held it.
            enter(*std::exchange(work_->underQuestion, std::nullopt));
            advance();
        });
    default:
        // A second close while the question is up is absorbed, unless it cannot wait for the answer.
        if (state_ == State::AskingToQuit && !canAsk)
            beginClosing(true);
        return;
    }
}

void Session::beginClosing(bool withGrace) {
    if (withGrace)
        graceStart_ = platform::tickCount();
    if (std::exchange(box_, std::nullopt))
        view_.closeBox();
    if (work_) {
        // A programmer is never cut off halfway through the controller: the panel waits for it, and says so.
        if (work_->job)
            view_.showStatus(text::kEndsAfterProgrammer, kBlue);
        if (work_->kind == Work::Kind::Sequence)
            work_->since.reset(); // no controls come any more
    }
    enter(State::Closing);
    endIfDone();
}

// The panel ends once the close's grace is over and a programmer still running has ended (it is never
// stopped: a half-programmed controller would be worse).
void Session::endIfDone() {
    if (work_ && work_->check) {
        work_->check->interrupt("Not checked: the control panel is closing.");
        while (!work_->check->done())
            if (const std::optional<doctor::CheckLine> line = work_->check->step())
                for (SessionListener* listener : listeners_)
                    listener->checked(*line);
        EndCheck();
    }
    if (work_ && work_->job) {
        if (!work_->programmed)
            return schedule();
        lastJob_ = {work_->job->error(), work_->job->errorString()};
        answerJob(std::nullopt);
        work_->job.reset();
    }
    if (graceStart_ && !over(*graceStart_, kCloseGraceMs))
        return schedule();
    graceStart_.reset();
    if (work_ && work_->answers)
        answer(*work_->answers, refused(Refusal::Closing, refusalOf(State::Closing).text));
    work_.reset();
    enter(State::Closed);
    DestroyJtagPort();
    view_.ended();
}

// Time: the steps that wait go on once their time has come. While the user is asked whether to quit, the
// programmer is still watched, but nothing moves on until the answer.

void Session::advance() {
    if (work_ && work_->job && !work_->programmed)
        PassProgrammer();
    if (state_ == State::Closed)
        return;
    if (state_ == State::AskingToQuit)
        return schedule();
    if (state_ == State::Closing)
        return endIfDone();
    if (state_ == State::ProgramAsked)
        return ProgramMaxII();
    if (work_ && work_->programmed)
        ProgrammerEnded(*std::exchange(work_->programmed, std::nullopt));
    if (work_ && work_->kind == Work::Kind::Sequence && work_->since && over(*work_->since, kSettleMs)) {
        work_->since.reset();
        BoardAnswered();
    }
    if (work_ && work_->check)
        StepCheck();
    schedule();
}

void Session::schedule() {
    std::optional<uint32_t> wait;
    const auto consider = [&wait](uint32_t milliseconds) {
        if (!wait || milliseconds < *wait)
            wait = milliseconds;
    };
    if (state_ == State::ProgramAsked)
        consider(0); // the job asked for, once the handler that asked has returned
    if (work_ && work_->job && !work_->programmed)
        consider(programming::kPassWaitMs);
    if (work_ && work_->check)
        consider(0); // the next step, once the window has had its turn
    if (work_ && work_->kind == Work::Kind::Sequence && work_->since)
        consider(left(*work_->since, kSettleMs));
    if (graceStart_ && state_ == State::Closing)
        consider(left(*graceStart_, kCloseGraceMs));
    if (wait)
        view_.wakeAfter(*wait);
}

// The connection sequence.

void Session::ConnectBoard() {
    if (!work_ || !work_->afterJob)
        work_.emplace(Work::Kind::Sequence, state_);
    enter(State::Connecting);
    keys_ = 0;
    leds_ = 0;
    view_.releaseControls();
    showConnecting();
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
        work_->since = platform::tickCount();
        return schedule();
    }
}

void Session::BoardAnswered() {
    view_.showStatus(boardText(text::kConnectSuccess), kGreen);
    EndSequence(State::Connected);
    view_.startPolling();
}

void Session::BoardDidNotAnswer() {
    DestroyJtagPort();
    view_.showStatus(boardText(text::kNoResponse), kRed);
    answerJob(State::Unanswered);
    ask({MessageKind::Error, boardText(text::kNoResponseQuestion), {}}, State::AskingToProgram,
        [this](bool yes) { EndSequence(yes ? State::ProgramAsked : State::Unanswered); });
}

// The sequence is over; after a job, the job's script hears how, and the link is where the job leaves it.
void Session::EndSequence(State end) {
    const bool afterJob = work_ && work_->afterJob;
    if (afterJob)
        answerJob(end);
    work_.reset();
    enter(afterJob ? session::afterJob(end, true) : end);
    schedule();
}

void Session::CreateJtagPort() {
    DestroyJtagPort();
    FJtagPort = std::make_unique<TJtagPort>(folder_);
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
    const bool jobRuns = work_ && work_->kind == Work::Kind::Job;
    if (!jobRuns && !closing())
        library_ = factsOf(TJtagPort(folder_));
    if (library_)
        return *library_;
    return {
        folder_ + platform::jtagLibraryFileName(), {}, "not read while the MAX II is being programmed", {}};
}

void Session::ConnectionLost() {
    log(text::kLostConnection);
    view_.showStatus(text::kLostConnection, kRed);
    DestroyJtagPort();
    enter(State::Disconnected);
}

// Commands and polls: each one step, over in at most its time-outs, the gate held meanwhile.

bool Session::Command(int32_t command, uint8_t* data) {
    enter(State::Commanding);
    const bool answered = FJtagPort && FJtagPort->IsOpen() && board::SendCommand(*FJtagPort, command, data);
    enter(State::Connected);
    return answered;
}

bool Session::SendIoCommand(int32_t command, uint8_t data) {
    const bool leds = command == board::kSetLeds;
    // Only the LED command says what it is doing before it goes.
    if (leds)
        view_.showStatus(text::kUpdateLed, kBlue);
    uint8_t sent = data;
    const bool success = Command(command, &sent);
    log(formatText("%s%s (bytes %s)", board::commandWords(command, data, leds_).c_str(),
                   success ? "" : ": not taken by the board",
                   board::commandBytesText(command, data).c_str()));
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
    uint8_t unused = 0;
    const bool answered = Command(board::kPing, &unused);
    log(answered ? "Ping: answered (byte 00)" : "Ping: no answer (byte 00)");
    if (!answered)
        ConnectionLost();
    return answered;
}

// A key poll, and the next 20 ms after it, for as long as the board answers.
void Session::PollKeys() {
    uint8_t reply = 0;
    if (!Command(board::kReadKeys, &reply)) {
        log("Key read: no answer (byte 06)");
        return ConnectionLost();
    }
    if (reply != keys_)
        log(formatText("%s (key state 0x%02x)", board::pressedKeysText(reply).c_str(), reply));
    keys_ = reply;
    view_.keysRead(reply);
    for (SessionListener* listener : listeners_)
        listener->keysPolled(reply);
    if (state_ == State::Connected)
        view_.pollAfter(board::kPollIntervalMs);
}

// The programming job: checks, the programmer started and watched every few milliseconds, its end told,
// and after a success the connection sequence again.

void Session::ProgramMaxII(std::optional<RequestId> script) {
    work_.emplace(Work::Kind::Job, state_);
    work_->forScript = script.has_value();
    work_->answers = script;
    enter(State::Programming);
    view_.startProgressRun(kProgrammingProgressMs);
    DestroyJtagPort();
    view_.showStatus(text::kDownloadStart, kBlue);
    work_->job = std::make_unique<programming::ProgrammingJob>(folder_);
    programming::ProgrammingJob& job = *work_->job;
    if (!job.prepare()) {
        log("Programming checks: " + job.errorString() + (job.reason().empty() ? "" : " " + job.reason()));
        return ProgrammerEnded(false);
    }
    view_.showStatus(text::kDownloadRunning, kBlue);
    log("Programmer: " + job.commandLine());
    work_->since = platform::tickCount();
    if (!job.start()) {
        logProgrammerEnd(job.lastRun(), platform::elapsedSince(*work_->since));
        return ProgrammerEnded(false);
    }
    schedule();
}

void Session::PassProgrammer() {
    programming::ProgrammingJob& job = *work_->job;
    const bool wasEnding = job.ending();
    if (const std::optional<bool> programmed = job.pass()) {
        logProgrammerEnd(job.lastRun(), platform::elapsedSince(*work_->since));
        work_->programmed = *programmed;
    } else if (!wasEnding && job.ending()) {
        log(formatText("The programmer still runs after %u ms: it is ended, with what it started; nothing "
                       "reaches the cable until they have gone",
                       platform::elapsedSince(*work_->since)));
    }
}

void Session::ProgrammerEnded(bool programmed) {
    const programming::ProgrammingJob& job = *work_->job;
    lastJob_ = {job.error(), job.errorString()};
    // A failed check's error box, or the unexpected exit code's information box, before the red status;
    // the job's reason, when it gives one, beneath the box's words.
    const std::optional<MessageKind> kind = programming::messageKindOf(job.error());
    Box box{kind.value_or(MessageKind::Error), job.errorString(), job.reason()};
    work_->job.reset();
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
        // The connection sequence follows, as part of the job: the job's script hears how it ended.
        work_->kind = Work::Kind::Sequence;
        work_->afterJob = true;
        work_->since.reset();
        return ConnectBoard();
    }
    const State found = work_->found;
    work_.reset();
    enter(session::afterJob(found, false));
}

// The check of the connection: the whole way to the board, a step a turn, over the panel's link when it
// holds one, else over a link of its own that it closes again.

void Session::CheckConnection() {
    work_.emplace(Work::Kind::Check, state_);
    enter(State::Checking);
    doctor::DoctorContext context;
    context.inPanel = true;
    context.folder = folder_;
    context.panelPort = FJtagPort && FJtagPort->IsOpen() ? FJtagPort.get() : nullptr;
    context.probeVirtualBoard = probeVirtualBoard_;
    work_->check = std::make_unique<doctor::Doctor>(std::move(context));
    log("Check the connection: started");
    schedule();
}

void Session::StepCheck() {
    doctor::Doctor& check = *work_->check;
    if (const std::optional<doctor::CheckLine> line = check.step()) {
        if (line->result.status == doctor::CheckStatus::Failed)
            log(formatText("Check the connection: %s failed: %s", line->name, line->result.detail.c_str()));
        for (SessionListener* listener : listeners_)
            listener->checked(*line);
    }
    if (check.done())
        EndCheck();
}

void Session::EndCheck() {
    const doctor::Ending ending = work_->check->ending();
    const State found = work_->found;
    work_.reset();
    if (ending == doctor::Ending::Passed)
        log("Check the connection: every check passed");
    for (SessionListener* listener : listeners_)
        listener->checkEnded(ending);
    enter(found);
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
