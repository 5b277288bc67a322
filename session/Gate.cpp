#include "session/Gate.h"

#include "common/Texts.h"

namespace qbv::session {

namespace {

constexpr Verdict R = Verdict::Run;
constexpr Verdict D = Verdict::Drop;
constexpr Verdict L = Verdict::Defer;
constexpr Verdict C = Verdict::Confirm;

struct Row {
    const char* name;
    Verdict verdicts[kActionCount];
    std::optional<Look> look;
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
constexpr const char* kNotConnected =
    "The control panel holds no link to the board: connect it there (Connect, F5).";
constexpr const char* kConnecting = "The control panel is connecting to the board.";
constexpr const char* kProgramming = "The control panel is programming the MAX II.";
constexpr const char* kAsking = "The control panel waits for its user to answer a question.";
constexpr const char* kClosing = "The control panel is closing.";
constexpr Look kIdle{true, true, true, false, false};
constexpr Look kUnloaded{true, false, true, false, false};
constexpr Look kUnanswered{false, true, true, false, false};
constexpr Look kAsked{false, false, true, false, false};
constexpr Look kWorking{false, false, false, false, true};
constexpr Look kLinked{false, true, true, true, false};
constexpr Refused kUnlinked{Refusal::NotConnected, kNotConnected};
constexpr Refused kDone{Refusal::None, ""};
constexpr Refused kSequence{Refusal::Connecting, kConnecting};
constexpr Refused kNoLibrary{Refusal::NoLibrary, text::kFailLoadDriver};
constexpr Refused kJob{Refusal::Busy, kProgramming};
constexpr Refused kCommand{Refusal::Busy, "The control panel is sending a command to the board."};
constexpr Refused kTelling{Refusal::Busy, "The control panel waits for its user to read what failed."};
constexpr Refused kQuestion{Refusal::Busy, kAsking};
constexpr Refused kEnding{Refusal::Closing, kClosing};
constexpr Refused kChecking{Refusal::Busy, "The control panel is checking the connection."};
constexpr std::optional<Look> kAsLastSeen = std::nullopt;
constexpr State kDown = State::Disconnected;
constexpr State kMute = State::Unanswered;

// clang-format off
constexpr Row kTable[kStateCount] = {
    //                  Connect Program SetLeds SetPin Ping ReadKeys PollKeys Close Look Check
    //                                                    look         refusal    after a failed job found here,
    //                                                                             after a job's sequence ended here
    {"Starting",        {R, R, D, D, D, D, D, R, R, D}, kIdle,       kSequence, kDown, kDown},
    {"Disconnected",    {R, R, D, D, D, D, D, R, R, R}, kIdle,       kUnlinked, kDown, kDown},
    {"NoDriver",        {R, D, D, D, D, D, D, R, R, R}, kUnloaded,   kNoLibrary, kDown, kDown},
    {"Unanswered",      {R, R, D, D, D, D, D, R, R, R}, kUnanswered, kUnlinked, kMute, kMute},
    {"ProgramAsked",    {D, R, D, D, D, D, D, R, R, D}, kAsked,      kJob,      kMute, State::ProgramAsked},
    {"Connecting",      {D, D, D, D, D, D, D, C, R, D}, kWorking,    kSequence, kMute, kMute},
    {"Connected",       {D, R, R, R, R, R, R, R, R, R}, kLinked,     kDone,     kMute, State::Connected},
    {"Commanding",      {D, D, D, D, D, D, L, L, R, D}, kLinked,     kCommand,  kMute, kMute},
    {"Programming",     {D, D, D, D, D, D, D, C, R, D}, kWorking,    kJob,      kMute, kMute},
    {"Checking",        {D, D, D, D, D, D, L, R, R, D}, kAsLastSeen, kChecking, kMute, kMute},
    {"TellingFailure",  {D, D, D, D, D, D, D, R, R, D}, kWorking,    kTelling,  kMute, kMute},
    {"AskingToProgram", {D, D, D, D, D, D, D, R, R, D}, kWorking,    kQuestion, kMute, kMute},
    {"AskingToQuit",    {D, D, D, D, D, D, D, D, R, D}, kWorking,    kQuestion, kMute, kMute},
    {"Closing",         {D, D, D, D, D, D, D, D, D, D}, kAsLastSeen, kEnding,   kMute, kMute},
    {"Closed",          {D, D, D, D, D, D, D, D, D, D}, kAsLastSeen, kEnding,   kMute, kMute},
};
// clang-format on

const Row& row(State state) {
    return kTable[static_cast<int>(state)];
}

} // namespace

Verdict verdict(State state, Action action) {
    return row(state).verdicts[static_cast<int>(action)];
}

std::optional<Look> lookOf(State state) {
    return row(state).look;
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
