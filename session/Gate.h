#pragma once

#include "session/ScriptProtocol.h"

#include <optional>

namespace qbv::session {

// The board link's one state. Every front end draws it, and every input is judged by it.
enum class State {
    Starting,        // the window is up; the start-up connection sequence is yet to come
    Disconnected,    // no link; Connect, Download and Exit on offer (at start, after a link that did not
                     // open or was lost, after a failed job that found Connect on offer)
    NoDriver,        // the JTAG access library did not load: Connect and Exit
    Unanswered,      // no link: the controller did not answer and programming was declined, or a job
                     // failed that found Connect hidden: Download and Exit
    ProgramAsked,    // the user said Yes to programming; the job starts when its posted message arrives
    Connecting,      // a connection sequence runs
    Connected,       // the board answers; its keys are polled
    Commanding,      // one board command is on its way (commands do not handle input while they wait)
    Programming,     // a programming job runs
    Checking,        // the connection is being checked, a check a turn: nothing else reaches the board
    TellingFailure,  // a box with OK says what failed; the sequence or job goes on once it is answered
    AskingToProgram, // the controller did not answer: the box asks whether to program it
    AskingToQuit,    // the box asks whether to quit while a sequence or job goes on beneath it
    Closing,         // the user said quit: nothing starts any more; the panel ends once the work allows
    Closed,          // the window has closed: the link is down for good
};
constexpr int kStateCount = static_cast<int>(State::Closed) + 1;

// What an input asks for.
enum class Action {
    Connect,  // Connect, F5, the menu, message 1025, the start-up tick
    Program,  // Download, the menu, message 1026
    SetLeds,  // an LED click, All LEDs off
    SetPin,   // a pin click
    Ping,     // a script asks whether the board answers
    ReadKeys, // a script reads the keys, as the panel's own polls last read them
    PollKeys, // the key-poll timer
    Close,    // the close box, Exit, Ctrl+Q, the menu, the desktop session ending, a signal
    Look,     // the context menu, the log and its Save, About, Copy status, the web links: nothing that
              // reaches the board
    Check,    // the menu's check of the connection: the whole way to the board, step by step
};
constexpr int kActionCount = static_cast<int>(Action::Check) + 1;

enum class Verdict {
    Run,     // carried out
    Drop,    // ignored
    Defer,   // tried again later: a key poll while a command is on its way
    Confirm, // carried out once the user confirms: a close while a sequence or job runs
};

// What the user sees of the board link in a state: which main buttons show, and whether the LED and pin
// controls are there (and the keys polled).
struct Look {
    bool connect;
    bool download;
    bool exit;
    bool controls;
    bool operator==(const Look&) const = default;
};

// Why a script's request is not carried out in a state, in words the script can act on.
struct Refused {
    Refusal refusal;
    const char* text;
};

// The one rule for all inputs: what the state makes of an action; what the window shows in it (none: it
// stays as the user last saw it, as a closing window does) and whether the cursor is the hourglass, as it
// is while work runs; what a refused script hears.
Verdict verdict(State state, Action action);
std::optional<Look> lookOf(State state);
bool hourglassIn(State state);
Refused refusalOf(State state);

// Where a programming job leaves the link: after a failure, from the state the job found; after a success,
// from where the connection sequence that follows it ended.
State afterJob(State state, bool programmed);

const char* stateName(State state);

} // namespace qbv::session
