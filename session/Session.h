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
#include <vector>

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

// The work under way, at most one as the cable is one: a connection sequence, a programming job or a check
// of the connection; what it found, the script it answers, when its wait began, and the question that may
// lie over it.
struct Work {
    enum class Kind { Sequence, Job, Check };
    Work(Kind kind, State found) : kind(kind), found(found) {}

    Kind kind;
    State found; // where it began: a failed job and a check return there
    // The script whose request it is: its lines are logged as the script's, and the script is answered
    // once its outcome is known (unless the script left first).
    bool forScript = false;
    std::optional<RequestId> answers;
    // A sequence: the second after the board answered. A job: its programmer's start.
    std::optional<uint32_t> since;
    bool afterJob = false; // a sequence that follows a job that programmed
    std::unique_ptr<programming::ProgrammingJob> job;
    std::optional<bool> programmed; // the job's outcome, held while the quit question is up
    std::unique_ptr<doctor::Doctor> check;
    // The state it was in when the quit question came over it, to go on in after a No.
    std::optional<State> underQuestion;
};

// The board link as the panel runs it, without a widget: the one state, the gate every input passes, and
// the steps behind it: the JTAG port's life, the connection sequence, the LED and pin commands, the key
// polls and the programming job. It never waits: a step that needs time asks the view to wake it
// (advance), a step that needs the user opens a box and waits in a state of its own for the answer. A
// board command is one step: it blocks for at most its time-outs and handles no input meanwhile; so is each
// step of a check of the connection.
class Session {
public:
    // For the program in this folder (its library, design file and chain definition file);
    // probeVirtualBoard: how the front end looks at a virtual board, for a check of the connection on one.
    Session(SessionView& view, std::string folder, doctor::ProbeVirtualBoard probeVirtualBoard);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Who hears what the session did, besides its view: the scripts' server, the menu. One that goes before
    // the session says so.
    void listen(SessionListener& listener) { listeners_.push_back(&listener); }
    void unlisten(SessionListener& listener) { std::erase(listeners_, &listener); }

    const std::string& folder() const { return folder_; }
    State state() const { return state_; }
    // The user has said quit: nothing starts any more.
    bool closing() const { return state_ == State::Closing || state_ == State::Closed; }
    Verdict verdict(Action action) const { return session::verdict(state_, action); }
    bool accepts(Action action) const { return verdict(action) == Verdict::Run; }

    // The window is on screen: its status says the connection at start-up is coming.
    void shown();
    // The panel's own input, carried out when the gate says Run (data is the LED mask or the pin byte of a
    // command). Look is the front end's to carry out.
    Outcome request(Action action, uint8_t data = 0);
    // A script's request: answered exactly once through the listeners, unless forgotten first (its client
    // left).
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
    void ask(Box box, State asking, std::function<void(bool)> then);
    void beginClosing(bool withGrace);
    void endIfDone();
    void showConnecting();

    void ConnectBoard();
    void ProbeBoard();
    void BoardAnswered();
    void BoardDidNotAnswer();
    void EndSequence(State end);
    void CreateJtagPort();
    void DestroyJtagPort();
    void ConnectionLost();
    bool Command(int32_t command, uint8_t* data);
    bool SendIoCommand(int32_t command, uint8_t data);
    bool Ping();
    void PollKeys();
    void ProgramMaxII(std::optional<RequestId> script = std::nullopt);
    void PassProgrammer();
    void ProgrammerEnded(bool programmed);
    void JobReported(bool programmed);
    void answerJob(std::optional<State> sequenceEnd);
    void answer(RequestId id, const ScriptReply& reply);
    ScriptReply refusal() const;
    ScriptReply reply(const ScriptRequest& request, bool succeeded) const;
    void CheckConnection();
    void StepCheck();
    void EndCheck();
    void logConnectOutcome(board::ConnectOutcome outcome, uint8_t keys);
    void logProgrammerEnd(const programming::ProgrammerRun& ran, uint32_t milliseconds);
    void log(const std::string& line);

    SessionView& view_;
    std::string folder_;
    std::vector<SessionListener*> listeners_;
    State state_ = State::Starting;
    std::unique_ptr<TJtagPort> FJtagPort;
    uint8_t keys_ = 0;
    uint8_t leds_ = 0;           // as the LED buttons show them
    bool scriptCommand_ = false; // the command under way is a script's: its lines are logged as such
    std::optional<LibraryFacts> library_;
    JobResult lastJob_;

    std::optional<Work> work_;
    // The box that is up and what its answer resumes.
    struct PendingBox {
        Box box;
        std::function<void(Answer)> then;
    };
    std::optional<PendingBox> box_;
    // When the close's grace began, once the user said quit over work.
    std::optional<uint32_t> graceStart_;
    doctor::ProbeVirtualBoard probeVirtualBoard_;
};

} // namespace qbv::session
