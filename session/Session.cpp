#include "session/Session.h"

#include "board/BoardProtocol.h"
#include "board/Connection.h"
#include "board/Jtagport.h"
#include "common/Format.h"
#include "common/Texts.h"
#include "platform/Clock.h"
#include "platform/ProgramLocation.h"
#include "programming/ProgrammingJob.h"

#include <cstdio>

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

} // namespace

Session::Session(SessionView& view) : view_(view) {}

Session::~Session() {
    DestroyJtagPort();
}

void Session::enter(State state) {
    // Once the user has said quit, a sequence or job that is still finishing changes nothing the gate
    // looks at.
    if (closing() || state == state_)
        return;
    state_ = state;
    view_.stateChanged(state);
}

Outcome Session::request(Action action, uint8_t data, Source source) {
    const Verdict said = verdict(action);
    if (said != Verdict::Run)
        return {said};
    source_ = source;
    bool succeeded = true;
    switch (action) {
    case Action::Connect:
        succeeded = ConnectBoard();
        break;
    case Action::Program:
        succeeded = ProgramMaxII();
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
    case Action::ReadKeys: // the polls keep the keys read
    case Action::Close:
    case Action::Look:
        break;
    }
    source_ = Source::Panel;
    return {said, succeeded};
}

void Session::log(const std::string& line) {
    view_.log(source_ == Source::Script ? "qbv: " + line : line);
}

void Session::beginClosing() {
    enter(State::Closing);
}

void Session::close() {
    if (state_ != State::Closed) {
        state_ = State::Closed;
        view_.stateChanged(state_);
    }
    DestroyJtagPort();
}

bool Session::ConnectBoard() {
    enter(State::Connecting);
    keys_ = 0;
    leds_ = 0;
    view_.releaseControls();
    view_.showStatus(boardText(text::kConnecting), kBlue);
    CreateJtagPort();
    if (!FJtagPort) // the window closed under the library's own box
        return false;
    uint8_t keysAtConnect = 0;
    const ConnectOutcome outcome = board::ConnectPort(*FJtagPort, commandInFlight_, keysAtConnect);
    logConnectOutcome(outcome, keysAtConnect);
    switch (outcome) {
    case ConnectOutcome::LibraryNotLoaded: {
        const std::string why = FJtagPort->errorDetail();
        DestroyJtagPort();
        view_.endProgressRun();
        view_.showStatus(text::kFailLoadDriver, kRed);
        view_.showBox(MessageKind::Error, text::kFailLoadDriver, why);
        enter(State::NoDriver);
        break;
    }
    case ConnectOutcome::LinkNotOpened: {
        // The box keeps its words, with the library's own reason beneath them when it gives one; a
        // terminal hears the reason too.
        const std::string reason = FJtagPort->linkErrorString();
        if (!reason.empty())
            std::fprintf(stderr, "%s: %s\n", platform::executableName().c_str(), reason.c_str());
        DestroyJtagPort();
        view_.endProgressRun();
        view_.showStatus(boardText(text::kFailConnect), kRed);
        view_.showBox(MessageKind::Error, boardText(text::kFailConnectChecklist), reason);
        // The checklist names a controller without its code as one cause: programming stays in reach.
        enter(State::Disconnected);
        break;
    }
    case ConnectOutcome::NoResponse:
        view_.endProgressRun();
        BoardDidNotAnswer();
        break;
    case ConnectOutcome::Connected:
        view_.endProgressRun();
        BoardAnswered();
        break;
    }
    return state_ == State::Connected;
}

void Session::BoardAnswered() {
    view_.waitPumping(kSettleMs);
    view_.showStatus(boardText(text::kConnectSuccess), kGreen);
    enter(State::Connected);
}

void Session::BoardDidNotAnswer() {
    DestroyJtagPort();
    view_.showStatus(boardText(text::kNoResponse), kRed);
    if (view_.askYesNo(MessageKind::Error, boardText(text::kNoResponseQuestion))) {
        view_.postProgramming();
        enter(State::ProgramAsked);
    } else {
        enter(State::Unanswered);
    }
}

void Session::CreateJtagPort() {
    DestroyJtagPort();
    FJtagPort = std::make_unique<TJtagPort>();
    FJtagPort->SetMessagePump([this] { view_.pumpMessages(); });
    // The library's own box comes the moment it failed to load, before the sequence says more.
    if (FJtagPort->error() != JtagPortError::NoError)
        view_.showBox(MessageKind::Error, FJtagPort->errorString());
}

void Session::DestroyJtagPort() {
    if (!FJtagPort)
        return;
    FJtagPort->Close();
    FJtagPort.reset();
}

void Session::ConnectionLost() {
    log(text::kLostConnection);
    view_.showStatus(text::kLostConnection, kRed);
    DestroyJtagPort();
    enter(State::Disconnected);
}

bool Session::SendCommand(int32_t command, uint8_t* data) {
    if (!FJtagPort || !FJtagPort->IsOpen())
        return false;
    return board::SendCommand(*FJtagPort, commandInFlight_, command, data);
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
    if (closing())
        return success;
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
    if (closing())
        return answered;
    enter(State::Connected);
    if (!answered)
        ConnectionLost();
    return answered;
}

void Session::PollKeys() {
    // A poll lasts until its keys are drawn: the window's close waits for it.
    enter(State::Commanding);
    uint8_t reply = 0;
    const bool answered = SendCommand(board::kReadKeys, &reply);
    if (answered) {
        if (reply != keys_)
            log(formatText("%s (key state 0x%02x)", board::pressedKeysText(reply).c_str(), reply));
        keys_ = reply;
        view_.keysRead(reply);
    }
    if (closing()) // closed while the keys were drawn
        return;
    enter(State::Connected);
    if (!answered) {
        log("Key read: no answer (byte 06)");
        ConnectionLost();
    }
}

bool Session::ProgramMaxII() {
    const State found = state_;
    enter(State::Programming);
    view_.startProgressRun(kProgrammingProgressMs);
    DestroyJtagPort();
    const bool ok = DownloadMaxIICode();
    view_.endProgressRun();
    // After a success the connection sequence runs inside the job, and decides what comes next.
    if (ok)
        ConnectBoard();
    enter(afterJob(ok ? state_ : found, ok));
    return ok;
}

// Where a job leaves the link: after a success, where its connection sequence ended, with Download on offer
// again; after a failure, down, with Connect on offer only where the job found it.
State Session::afterJob(State end, bool programmed) const {
    switch (end) {
    case State::Disconnected:
    case State::NoDriver:
        return State::Disconnected;
    case State::Connected:
    case State::ProgramAsked:
        return programmed ? end : State::Unanswered;
    default:
        return State::Unanswered;
    }
}

bool Session::DownloadMaxIICode() {
    view_.showStatus(text::kDownloadStart, kBlue);
    programming::ProgrammingJob job;
    job.setMessagePump([this] { view_.pumpMessages(); });
    bool ok = job.prepare();
    if (ok) {
        view_.showStatus(text::kDownloadRunning, kBlue);
        log("Programmer: " + job.commandLine());
        const uint32_t start = platform::tickCount();
        ok = job.run();
        logProgrammerEnd(job.lastRun(), platform::elapsedSince(start));
    } else {
        log("Programming checks: " + job.errorString() + (job.reason().empty() ? "" : " " + job.reason()));
    }
    lastJob_ = {job.error(), job.errorString()};
    // A failed check's error box, or the unexpected exit code's information box, before the red status;
    // the job's reason, when it gives one, beneath the box's words.
    if (const std::optional<MessageKind> kind = programming::messageKindOf(job.error()))
        view_.showBox(*kind, job.errorString(), job.reason());
    view_.showStatus(ok ? text::kDownloadSuccess : text::kDownloadFail, ok ? kGreen : kRed);
    log(ok ? text::kDownloadSuccess : text::kDownloadFail);
    return ok;
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
        log(formatText("Connect: commands 00 (ping) and 06 (read keys) answered, keys 0x%02x (%s)", keys,
                       library.c_str()));
        break;
    }
}

void Session::logProgrammerEnd(const programming::ProgrammerRun& ran, uint32_t milliseconds) {
    using programming::ProgrammerEnd;
    switch (ran.end) {
    case ProgrammerEnd::TimedOut:
        log(formatText("Programmer still running after %u ms: left to finish on its own", milliseconds));
        break;
    case ProgrammerEnd::NotStarted:
        log("Programmer not started: " + ran.startFailure);
        break;
    default:
        log(formatText("Programmer ended with exit code 0x%x after %u ms", ran.exitCode, milliseconds));
    }
}

} // namespace qbv::session
