#pragma once

#include "common/Colours.h"
#include "common/Messages.h"
#include "doctor/Doctor.h"
#include "session/Gate.h"

#include <cstdint>
#include <string>

namespace qbv::session {

// A box the session asks the user to read or answer: an OK box, with why beneath its text when there is a
// reason; or a question with Yes and No.
struct Box {
    MessageKind kind = MessageKind::Error;
    std::string text;
    std::string detail;
    bool question = false;
    bool operator==(const Box&) const = default;
};

enum class Answer { Ok, Yes, No };

// Names a script's request until its one answer.
using RequestId = uint64_t;

// What a front end does for the session: draws its state, shows what it says, opens its boxes, and calls it
// back when asked to. The session never waits on the view: every call returns at once.
class SessionView {
public:
    virtual ~SessionView() = default;

    virtual void stateChanged(State state) = 0;
    virtual void showStatus(const std::string& text, colour::Colour colour) = 0;
    // Opens the box modal to the window and returns; the user's answer comes back through
    // Session::answer. At most one is up at a time.
    virtual void openBox(const Box& box) = 0;
    // Takes the box that is up away unanswered: the close went ahead without the user's answer (a signal,
    // the desktop session ending), which can no longer change anything.
    virtual void closeBox() = 0;
    // Session::advance is to be called once this many milliseconds have passed; a later call replaces an
    // earlier one.
    virtual void wakeAfter(uint32_t milliseconds) = 0;
    // The key polls (Action::PollKeys) begin, the first after the poll timer's own interval; the next is due
    // once this many milliseconds have passed.
    virtual void startPolling() = 0;
    virtual void pollAfter(uint32_t milliseconds) = 0;
    // The progress bar measures time: a run of this many milliseconds starts, or the run ends.
    virtual void startProgressRun(uint32_t durationMs) = 0;
    virtual void endProgressRun() = 0;
    // Every LED and pin shown up and the keys released, as a new connection starts.
    virtual void releaseControls() = 0;
    virtual void keysRead(uint8_t keys) = 0;
    // The board took an LED (command 1) or pin (command 5) command: whoever sent it, the controls show it.
    virtual void commandTaken(int32_t command, uint8_t data) = 0;
    // The close has gone ahead: the window closes and the program ends.
    virtual void ended() = 0;
};

// Who hears what the session did besides its view, each what concerns it: the panel's server of scripts
// (their answers, the keys for a watch, the states that end one), its menu (the states that enable its
// items, a check's lines, the log).
class SessionListener {
public:
    virtual ~SessionListener() = default;

    // A line for the log: what happened, as the user reads it.
    virtual void logged(const std::string&) {}
    // The state the session entered; the keys a poll read.
    virtual void entered(State) {}
    virtual void keysPolled(uint8_t) {}
    // A script's request carried out or refused: its one answer; and what it hears before that, that the job
    // it asked for has started.
    virtual void answered(RequestId, const ScriptReply&) {}
    virtual void told(RequestId, const ScriptReply&) {}
    // A check of the connection: one more of its lines, then how it ended.
    virtual void checked(const doctor::CheckLine&) {}
    virtual void checkEnded(doctor::Ending) {}
};

} // namespace qbv::session
