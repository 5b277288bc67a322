#pragma once

#include "session/Gate.h"
#include "session/SessionView.h"

#include <cstdint>
#include <memory>

#include "programming/ProgrammingJob.h"

#include <string>

class TJtagPort;
namespace qbv::board {
enum class ConnectOutcome;
}

namespace qbv::session {

// Who asked: the panel's own user, or a script through the panel. What a script asks is logged as such.
enum class Source { Panel, Script };

struct Outcome {
    Verdict verdict;
    bool succeeded = false; // carried out and done: the command taken, the job programmed
};

// How the last programming job ended, for a script that asked for it.
struct JobResult {
    programming::ProgrammingError error = programming::ProgrammingError::NoError;
    std::string text;
};

// The board link as the panel runs it, without a widget: the one state, the gate every input passes, and
// what runs behind it: the JTAG port's life, the connection sequence, the LED and pin commands, the key
// polls and the programming job. What the user sees and answers goes through the view; the session runs
// on the view's thread and its waits handle the view's input, which the gate then judges.
class Session {
public:
    explicit Session(SessionView& view);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    State state() const { return state_; }
    // The user has said quit: nothing starts any more.
    bool closing() const { return state_ == State::Closing || state_ == State::Closed; }
    Verdict verdict(Action action) const { return session::verdict(state_, action); }
    bool accepts(Action action) const { return verdict(action) == Verdict::Run; }

    // An input: carried out at once when the gate says Run (data is the LED mask or the pin byte of a
    // command). Close and Look are the front end's to carry out; their verdict is all the session gives.
    Outcome request(Action action, uint8_t data = 0, Source source = Source::Panel);

    // The user confirmed quitting: nothing starts from now on.
    void beginClosing();
    // The window closes: the link goes down for good.
    void close();

    // The keys as last read; the link in use, if any.
    uint8_t keys() const { return keys_; }
    const TJtagPort* port() const { return FJtagPort.get(); }
    const JobResult& lastJob() const { return lastJob_; }

private:
    void enter(State state);
    State afterJob(State sequenceEnd, bool programmed) const;

    bool ConnectBoard();
    bool Ping();
    void CreateJtagPort();
    void DestroyJtagPort();
    void BoardAnswered();
    void BoardDidNotAnswer();
    void ConnectionLost();
    bool SendCommand(int32_t command, uint8_t* data);
    bool SendIoCommand(int32_t command, uint8_t data);
    void PollKeys();
    bool ProgramMaxII();
    bool DownloadMaxIICode();
    void logConnectOutcome(board::ConnectOutcome outcome, uint8_t keys);
    void logProgrammerEnd(const programming::ProgrammerRun& ran, uint32_t milliseconds);
    void log(const std::string& line);

    SessionView& view_;
    State state_ = State::Disconnected;
    std::unique_ptr<TJtagPort> FJtagPort;
    uint8_t keys_ = 0;
    uint8_t leds_ = 0;              // as the LED buttons show them
    Source source_ = Source::Panel; // of the request being carried out
    // The gate lets no command start while one is on its way; the protocol checks that it never does.
    bool commandInFlight_ = false;
    JobResult lastJob_;
};

} // namespace qbv::session
