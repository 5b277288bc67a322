#include "session/Gate.h"

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
};

// One cable, one job: while a sequence, a command or a job runs, nothing else that reaches the board
// starts, and a box the work waits on holds it where it is; once the user has said quit, nothing starts at
// all. The looks: Connect, Download, Exit, the LED and pin controls, the hourglass.
constexpr const char* kNotConnected =
    "The control panel holds no link to the board: connect it there (Connect, F5).";
constexpr const char* kConnecting = "The control panel is connecting to the board.";
constexpr const char* kProgramming = "The control panel is programming the MAX II.";
constexpr const char* kAsking = "The control panel waits for its user to answer a question.";
constexpr const char* kClosing = "The control panel is closing.";
constexpr Look kIdle{true, true, true, false, false};
constexpr Look kWorking{false, false, false, false, true};
constexpr Look kLinked{false, true, true, true, false};
constexpr Refused kNone{Refusal::NotConnected, kNotConnected};

// clang-format off
constexpr Row kTable[kStateCount] = {
    //                     Connect Program SetLeds SetPin Ping ReadKeys PollKeys Close Look
    {"Disconnected",    {R, R, D, D, D, D, D, R, R}, kIdle,                                kNone},
    {"NoDriver",        {R, D, D, D, D, D, D, R, R}, Look{true, false, true, false, false}, kNone},
    {"Unanswered",      {R, R, D, D, D, D, D, R, R}, Look{false, true, true, false, false}, kNone},
    {"ProgramAsked",    {D, R, D, D, D, D, D, R, R}, Look{false, false, true, false, false}, {Refusal::Busy, kProgramming}},
    {"Connecting",      {D, D, D, D, D, D, D, C, R}, kWorking,                             {Refusal::Busy, kConnecting}},
    {"Connected",       {D, R, R, R, R, R, R, R, R}, kLinked,                              {Refusal::None, ""}},
    {"Commanding",      {D, D, D, D, D, D, L, R, R}, kLinked,
                         {Refusal::Busy, "The control panel is sending a command to the board."}},
    {"Programming",     {D, D, D, D, D, D, D, C, R}, kWorking,                             {Refusal::Busy, kProgramming}},
    {"TellingFailure",  {D, D, D, D, D, D, D, R, R}, kWorking,
                         {Refusal::Busy, "The control panel waits for its user to read what failed."}},
    {"AskingToProgram", {D, D, D, D, D, D, D, R, R}, kWorking,                             {Refusal::Busy, kAsking}},
    {"AskingToQuit",    {D, D, D, D, D, D, D, D, R}, kWorking,                             {Refusal::Busy, kAsking}},
    {"Closing",         {D, D, D, D, D, D, D, D, D}, std::nullopt,                            {Refusal::Closing, kClosing}},
    {"Closed",          {D, D, D, D, D, D, D, D, D}, std::nullopt,                            {Refusal::Closing, kClosing}},
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

const char* stateName(State state) {
    return row(state).name;
}

} // namespace qbv::session
