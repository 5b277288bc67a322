#include "session/Gate.h"

#include "common/EnumTable.h"
#include "common/Texts.h"

#include <concepts>

namespace qbv::session {

namespace {

constexpr Verdict R = Verdict::Run;
constexpr Verdict D = Verdict::Drop;
constexpr Verdict L = Verdict::Defer;
constexpr Verdict C = Verdict::Confirm;

// A state's verdict on each action, in the order of Action. A row of the table that gives fewer does not
// build: the verdict left out would be Run, the first.
struct Verdicts {
    template <std::same_as<Verdict>... Each>
    requires(sizeof...(Each) == kActionCount) constexpr Verdicts(Each... each) : of{each...} {}
    Verdict of[kActionCount];
};

struct Row {
    State state;
    const char* name;
    Verdicts verdicts;
    std::optional<Look> look;
    bool hourglass;
    Refused refused;
    // Where a job leaves the link: after a failure, by the state the job found (Connect on offer again only
    // where it was); after a success, by where the connection sequence that follows it ended (Download on
    // offer again).
    State afterFailedJob;
    State afterJobSequence;
};

// One cable, one job: while a sequence, a command or a job runs, nothing else that reaches the board
// starts, and a box the work waits on holds it where it is; once the user has said quit, nothing starts at
// all. A close never ends the panel under a command on its way: the library is still in its call. A check of
// the connection holds the cable like any work (a key poll waits for it), but a close ends it at once: the
// check's steps left are only skipped, and the window stays as it was while it runs. The looks: Connect,
// Download, Exit, the LED and pin controls, the hourglass.
constexpr Look kIdle{true, true, true, false};
constexpr Look kUnloaded{true, false, true, false};
constexpr Look kUnanswered{false, true, true, false};
constexpr Look kAsked{false, false, true, false};
constexpr Look kWorking{false, false, false, false};
constexpr Look kLinked{false, true, true, true};
constexpr bool kBusy = true;
constexpr bool kFree = false;
constexpr Refused kUnlinked{Refusal::NotConnected,
                            "The control panel holds no link to the board: connect it there (Connect, F5)."};
// Where Connect is hidden, as after a board that did not answer, programming is the way on.
constexpr Refused kMuteBoard{
    Refusal::Unanswered,
    "The board does not answer the control panel: program it: Download .POF, or qbv program."};
constexpr Refused kDone{Refusal::None, ""};
constexpr Refused kSequence{Refusal::Connecting, "The control panel is connecting to the board."};
constexpr Refused kNoLibrary{Refusal::NoLibrary, refusalRow(Refusal::NoLibrary).words};
constexpr Refused kJob{Refusal::Busy, "The control panel is programming the MAX II."};
constexpr Refused kCommand{Refusal::Busy, "The control panel is sending a command to the board."};
constexpr Refused kTelling{Refusal::Busy, "The control panel waits for its user to read what failed."};
constexpr Refused kQuestion{Refusal::Busy, "The control panel waits for its user to answer a question."};
constexpr Refused kEnding{Refusal::Closing, "The control panel is closing."};
constexpr Refused kChecking{Refusal::Busy, "The control panel is checking the connection."};
constexpr std::optional<Look> kAsLastSeen = std::nullopt;
constexpr State kDown = State::Disconnected;
constexpr State kMute = State::Unanswered;
using enum State; // each row of the table names its state first

// clang-format off
constexpr Row kTable[] = {
    //                                   Connect Program SetLeds SetPin Ping ReadKeys PollKeys Close Look Check
    //                                                                     look         cursor refusal     after a failed job found here,
    //                                                                                                      after a job's sequence ended here
    {Starting,        "Starting",        {R, R, D, D, D, D, D, R, R, D}, kIdle,       kFree, kSequence,  kDown, kDown},
    {Disconnected,    "Disconnected",    {R, R, D, D, D, D, D, R, R, R}, kIdle,       kFree, kUnlinked,  kDown, kDown},
    {NoDriver,        "NoDriver",        {R, D, D, D, D, D, D, R, R, R}, kUnloaded,   kFree, kNoLibrary, kDown, kDown},
    {Unanswered,      "Unanswered",      {R, R, D, D, D, D, D, R, R, R}, kUnanswered, kFree, kMuteBoard, kMute, kMute},
    {ProgramAsked,    "ProgramAsked",    {D, R, D, D, D, D, D, R, R, D}, kAsked,      kFree, kJob,       kMute, State::ProgramAsked},
    {Connecting,      "Connecting",      {D, D, D, D, D, D, D, C, R, D}, kWorking,    kBusy, kSequence,  kMute, kMute},
    {Connected,       "Connected",       {D, R, R, R, R, R, R, R, R, R}, kLinked,     kFree, kDone,      kMute, State::Connected},
    {Commanding,      "Commanding",      {D, D, D, D, D, D, L, L, R, D}, kLinked,     kBusy, kCommand,   kMute, kMute},
    {Programming,     "Programming",     {D, D, D, D, D, D, D, C, R, D}, kWorking,    kBusy, kJob,       kMute, kMute},
    {Checking,        "Checking",        {D, D, D, D, D, D, L, R, R, D}, kAsLastSeen, kBusy, kChecking,  kMute, kMute},
    {TellingFailure,  "TellingFailure",  {D, D, D, D, D, D, D, R, R, D}, kWorking,    kBusy, kTelling,   kMute, kMute},
    {AskingToProgram, "AskingToProgram", {D, D, D, D, D, D, D, R, R, D}, kWorking,    kBusy, kQuestion,  kMute, kMute},
    {AskingToQuit,    "AskingToQuit",    {D, D, D, D, D, D, D, D, R, D}, kWorking,    kBusy, kQuestion,  kMute, kMute},
    {Closing,         "Closing",         {D, D, D, D, D, D, D, D, D, D}, kAsLastSeen, kBusy, kEnding,    kMute, kMute},
    {Closed,          "Closed",          {D, D, D, D, D, D, D, D, D, D}, kAsLastSeen, kBusy, kEnding,    kMute, kMute},
};
// clang-format on
static_assert(rowsInEnumOrder(kTable, &Row::state, kStateCount));

const Row& row(State state) {
    return rowOf(kTable, state);
}

} // namespace

Verdict verdict(State state, Action action) {
    return row(state).verdicts.of[static_cast<int>(action)];
}

std::optional<Look> lookOf(State state) {
    return row(state).look;
}

bool hourglassIn(State state) {
    return row(state).hourglass;
}

Refused refusalOf(State state) {
    return row(state).refused;
}

State afterJob(State state, bool programmed) {
    return programmed ? row(state).afterJobSequence : row(state).afterFailedJob;
}

const char* stateName(State state) {
    return row(state).name;
}

} // namespace qbv::session
