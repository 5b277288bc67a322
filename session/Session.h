#pragma once

#include "session/Gate.h"
#include "session/ScriptProtocol.h"
#include "session/SessionView.h"

#include "doctor/Doctor.h"
#include "programming/ProgrammingJob.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class TJtagPort;
namespace qbv::board {
enum class ConnectOutcome;
}

namespace qbv::session {

struct Outcome {
    Verdict verdict;
    bool succeeded = false; // carried out and done: the command taken
};

// How the last programming job ended, for a script that asked for it.
struct JobResult {
    programming::ProgrammingError error = programming::ProgrammingError::NoError;
    std::string text;
};

// The JTAG access library as the last port found it, for About: read when a port was made, never by
// loading the library while a job runs.
struct LibraryFacts {
    std::string path;
    std::string edition; // empty when it did not load
    std::string failure; // why not, when it did not: the words of the library's own box
    std::string reason;  // and the system's reason beneath them
};

// The board link as the panel runs it, without a widget: the one state, the gate every input passes, and
// the steps behind it: the JTAG port's life, the connection sequence, the LED and pin commands, the key
// polls and the programming job. It never waits: a step that needs time asks the view to wake it
// (advance), a step that needs the user opens a box and waits in a state of its own for the answer. A
// board command is one step: it blocks for at most its time-outs and handles no input meanwhile; so is each
// check of a check of the connection.
class Session {
public:
    // probeVirtualBoard: how the front end looks at a virtual board, for a check of the connection on one.
    Session(SessionView& view, doctor::ProbeVirtualBoard probeVirtualBoard);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    State state() const { return state_; }
    // The user has said quit: nothing starts any more.
    bool closing() const { return state_ == State::Closing || state_ == State::Closed; }
    Verdict verdict(Action action) const { return session::verdict(state_, action); }
    bool accepts(Action action) const { return verdict(action) == Verdict::Run; }

    // The panel's own input, carried out when the gate says Run (data is the LED mask or the pin byte of a
    // command). Close goes through close(); Look is the front end's to carry out.
    Outcome request(Action action, uint8_t data = 0);
    // A script's request: answered exactly once through the view, unless forgotten first (its client left).
    void request(RequestId id, const ScriptRequest& request);
    void forget(RequestId id);

    // Every way to close: asks while a sequence or job runs, unless the user cannot be asked (a signal, the
    // desktop session ending), which counts as Yes. The view's ended() comes once the work allows.
    void close(bool canAsk = true);
    // The user answered the box that is up.
    void answer(Answer answer);
    // Time has passed: the step that asked for it goes on.
    void advance();

    // The keys as last read; the link in use, if any; the library as last seen.
    uint8_t keys() const { return keys_; }
    const TJtagPort* port() const { return FJtagPort.get(); }
    LibraryFacts library();

private:
    void enter(State state);
    void schedule();
    void tell(Box box, std::function<void()> then);
    void ask(Box box, std::function<void(bool)> then);
    void openBox(Box box);
    void beginClosing(bool withGrace);
    void endIfDone();

    void ConnectBoard();
    void ProbeBoard();
    void BoardAnswered();
    void BoardDidNotAnswer();
    void EndSequence(State end);
    void CreateJtagPort();
    void DestroyJtagPort();
    void ConnectionLost();
    bool SendCommand(int32_t command, uint8_t* data);
    bool SendIoCommand(int32_t command, uint8_t data);
    bool Ping();
    void PollKeys();
    void ProgramMaxII();
    void PassProgrammer();
    void ProgrammerEnded(bool programmed);
    void JobReported(bool programmed);
    void answerJob(std::optional<State> sequenceEnd);
    ScriptReply refusal() const;
    ScriptReply reply(const ScriptRequest& request, bool succeeded) const;
    void CheckConnection();
    void StepCheck();
    void EndCheck();
    void logConnectOutcome(board::ConnectOutcome outcome, uint8_t keys);
    void logProgrammerEnd(const programming::ProgrammerRun& ran, uint32_t milliseconds);
    void log(const std::string& line);

    SessionView& view_;
    State state_ = State::Starting;
    std::unique_ptr<TJtagPort> FJtagPort;
    uint8_t keys_ = 0;
    uint8_t leds_ = 0;    // as the LED buttons show them
    bool script_ = false; // the work under way is a script's: its lines are logged as such
    std::optional<LibraryFacts> library_;

    // The box that is up and what its answer resumes.
    struct PendingBox {
        Box box;
        std::function<void(Answer)> then;
    };
    std::optional<PendingBox> box_;
    State beneath_ = State::Disconnected; // the work the quit question lies over

    // When the waits began that the steps go on after: the second after the board answered, the close's
    // grace.
    std::optional<uint32_t> settleStart_;
    std::optional<uint32_t> graceStart_;

    // The job: its steps, when its programmer started, how it ended (held while the quit question is up),
    // the state it found, whether the sequence that follows it runs, and the script that asked for it.
    std::unique_ptr<programming::ProgrammingJob> job_;
    uint32_t jobStart_ = 0;
    std::optional<bool> programmed_;
    State jobFound_ = State::Disconnected;
    bool jobSequence_ = false;
    std::optional<RequestId> jobScript_;
    JobResult lastJob_;

    // The check of the connection, a step at a time, and the state it found and returns to.
    std::unique_ptr<doctor::Doctor> check_;
    State checkFound_ = State::Disconnected;
    doctor::ProbeVirtualBoard probeVirtualBoard_;
};

} // namespace qbv::session
