#pragma once

namespace qbv::session {

// The board link's one state. Every front end draws it, and every input is judged by it.
enum class State {
    Disconnected, // no link; Connect, Download and Exit on offer (at start, after a link that did not
                  // open or was lost, after a failed job that found Connect on offer)
    NoDriver,     // the JTAG access library did not load: Connect and Exit
    Unanswered,   // no link: the controller did not answer and programming was declined, or a job
                  // failed that found Connect hidden: Download and Exit
    ProgramAsked, // the user said Yes to programming; the job starts when its posted message arrives
    Connecting,   // a connection sequence runs
    Connected,    // the board answers; its keys are polled
    Commanding,   // one board command is on its way (commands do not handle input while they wait)
    Programming,  // a programming job runs
    Closing,      // the user said quit: nothing starts any more
    Closed,       // the window has closed: the link is down for good
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
    Close,    // Exit, Ctrl+Q, the menu, the close box
    Look,     // the log, About, Copy status, the web links: nothing that reaches the board
};
constexpr int kActionCount = static_cast<int>(Action::Look) + 1;

enum class Verdict {
    Run,     // carried out
    Drop,    // ignored
    Defer,   // tried again later: a key poll while a command is on its way
    Confirm, // carried out once the user confirms: a close while a sequence or job runs
};

// The one rule for all inputs: what the state makes of an action.
Verdict verdict(State state, Action action);

const char* stateName(State state);

} // namespace qbv::session
