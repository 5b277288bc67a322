#include "session/Gate.h"

namespace qbv::session {

namespace {

constexpr Verdict R = Verdict::Run;
constexpr Verdict D = Verdict::Drop;
constexpr Verdict L = Verdict::Defer;
constexpr Verdict C = Verdict::Confirm;

// One cable, one job: while a sequence, a command or a job runs, nothing else that reaches the board
// starts; once the user has said quit, nothing starts at all.
// clang-format off
constexpr Verdict kTable[kStateCount][kActionCount] = {
    //                 Connect Program SetLeds SetPin Ping ReadKeys PollKeys Close Look
    /* Disconnected */ {R, R, D, D, D, D, D, R, R},
    /* NoDriver     */ {R, D, D, D, D, D, D, R, R},
    /* Unanswered   */ {R, R, D, D, D, D, D, R, R},
    /* ProgramAsked */ {D, R, D, D, D, D, D, R, R},
    /* Connecting   */ {D, D, D, D, D, D, D, C, R},
    /* Connected    */ {D, R, R, R, R, R, R, R, R},
    /* Commanding   */ {D, D, D, D, D, D, L, R, R},
    /* Programming  */ {D, D, D, D, D, D, D, C, R},
    /* Closing      */ {D, D, D, D, D, D, D, D, D},
    /* Closed       */ {D, D, D, D, D, D, D, D, D},
};
// clang-format on

constexpr const char* kStateNames[kStateCount] = {"Disconnected", "NoDriver",  "Unanswered", "ProgramAsked",
                                                  "Connecting",   "Connected", "Commanding", "Programming",
                                                  "Closing",      "Closed"};

} // namespace

Verdict verdict(State state, Action action) {
    return kTable[static_cast<int>(state)][static_cast<int>(action)];
}

const char* stateName(State state) {
    return kStateNames[static_cast<int>(state)];
}

} // namespace qbv::session
