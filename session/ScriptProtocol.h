#pragma once

#include "common/ExitCode.h"
#include "common/Texts.h"

#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

namespace qbv::session {

// How qbv talks to a running panel over the panel's local socket: one JSON object to a line each way.
//
//   requests   {"do":"ping"}   {"do":"led","mask":129}   {"do":"pin","pin":87,"on":true}
//              {"do":"keys"}   {"do":"watch"}   {"do":"program"}
//   replies    {"ok":true} (with "keys":N, the keys as the panel last read them, for all but led and pin),
//              or
//              {"ok":false,"why":WHY,"text":"...","reason":"..."}: the panel's words, and the reason when
//              there is one more specific than the words
//   watch      after its reply, {"keys":N} at every change of the keys the panel polls, until the panel
//              ends it with a failure reply (the link lost, a job started, the panel closing)
//   program    {"programming":true} the moment the panel's job starts, before its reply; the reply
//              {"ok":true,"keys":N} once the board is programmed and answers again, or {"ok":true} alone when
//              the panel ended after programming, before it connected again
//
// WHY is one of the words below. A line that is no request gets "bad-request" and the connection ends;
// so does a line longer than kMaxScriptLine. A script of another user's gets "other-user" as it connects,
// and the connection ends.
constexpr size_t kMaxScriptLine = 1024;

enum class ScriptVerb { Ping, Led, Pin, Keys, Watch, Program };
constexpr int kScriptVerbCount = static_cast<int>(ScriptVerb::Program) + 1;

struct ScriptRequest {
    ScriptVerb verb = ScriptVerb::Ping;
    uint8_t mask = 0; // led
    int pin = 0;      // pin: 0 to 87
    bool on = false;  // pin
    bool operator==(const ScriptRequest&) const = default;
};

// Why the panel did not do what it was asked.
enum class Refusal {
    None,
    Busy,         // a command or a programming job runs, or a box waits for the user: try again later
    Closing,      // the panel is closing: try again once it has ended
    NotConnected, // the panel holds no link to the board
    Failed,       // the board did not take the command: the link is lost
    Unprogrammed, // the programming job failed
    TimedOut,     // the programmer did not end in time (it was ended)
    Unanswered,   // programmed, but the board does not answer afterwards
    BadRequest,   // the line was no request
    Connecting,   // the panel is connecting to the board, or about to at its start: try again later
    NoLibrary,    // the panel's JTAG access library did not load; the reason says why
    OtherUser,    // the script runs as another user: a panel serves its own user's scripts only
};
constexpr int kRefusalCount = static_cast<int>(Refusal::OtherUser) + 1;

// What a refusal means to the panel and to qbv, one row per Refusal in its order: its WHY on the wire,
// qbv's exit code, whether qbv --wait waits for it to pass, and its words where they are always the same
// (a format that may take the board's name; none where the panel's state or the cause says them).
struct RefusalRow {
    Refusal refusal;
    const char* word;
    ExitCode exitCode;
    bool passes;
    const char* words;
};

// clang-format off
constexpr RefusalRow kRefusals[] = {
    {Refusal::None,         "",              kExitSuccess,           false, nullptr},
    {Refusal::Busy,         "busy",          kExitPanelBusy,         true,  nullptr},
    {Refusal::Closing,      "closing",       kExitPanelBusy,         true,  nullptr},
    {Refusal::NotConnected, "not-connected", kExitLinkNotOpened,     false, nullptr},
    {Refusal::Failed,       "failed",        kExitCommandFailed,     false, text::kLostConnection},
    {Refusal::Unprogrammed, "unprogrammed",  kExitProgrammingFailed, false, text::kDownloadFail},
    {Refusal::TimedOut,     "timed-out",     kExitTimeout,           false, text::kDownloadFail},
    {Refusal::Unanswered,   "unanswered",    kExitNoResponse,        false, text::kNoResponse},
    {Refusal::BadRequest,   "bad-request",   kExitCommandFailed,     false, nullptr},
    {Refusal::Connecting,   "connecting",    kExitPanelBusy,         true,  nullptr},
    {Refusal::NoLibrary,    "no-library",    kExitLibrary,           false, text::kFailLoadDriver},
    {Refusal::OtherUser,    "other-user",    kExitLinkNotOpened,     false,
     "This control panel serves its own user's scripts only."},
};
// clang-format on

// Row i is the refusal of value i, and no two rows say the same WHY.
constexpr bool refusalRowsInOrder() {
    for (int i = 0; i < kRefusalCount; ++i) {
        if (kRefusals[i].refusal != static_cast<Refusal>(i))
            return false;
        for (int j = 0; j < i; ++j)
            if (std::string_view(kRefusals[i].word) == kRefusals[j].word)
                return false;
    }
    return true;
}
static_assert(std::size(kRefusals) == kRefusalCount, "one row per refusal");
static_assert(refusalRowsInOrder(), "row i is the refusal of value i, with a WHY of its own");

constexpr const RefusalRow& refusalRow(Refusal refusal) {
    return kRefusals[static_cast<int>(refusal)];
}

struct ScriptReply {
    Refusal refusal = Refusal::None; // None: done
    std::optional<uint8_t> keys;
    std::string text;     // the panel's words for a refusal
    std::string reason;   // a more specific reason, when there is one
    bool event = false;   // not the reply: a watch's change, or a job's start
    bool started = false; // the event that the panel's programming job has started
};

// The request on a line (without its "\n"); false, with what is wrong with it, for anything else.
bool parseScriptRequest(std::string_view line, ScriptRequest& request, std::string& error);
std::string scriptRequestLine(const ScriptRequest& request); // ends in "\n"

bool parseScriptReply(std::string_view line, ScriptReply& reply);
std::string scriptReplyLine(const ScriptReply& reply); // ends in "\n"

// The table's words for a refusal, with the board's name in them; empty where it has none.
std::string refusalWords(Refusal refusal);
// A refusal in the words given; without them, in the table's.
ScriptReply refused(Refusal refusal, std::string text, std::string reason = {});
ScriptReply refused(Refusal refusal);
// The words of a command the board did not take, as the panel's status says them: an LED or pin
// command's own, else the lost link's.
const char* commandFailure(ScriptVerb verb);
// The data byte the board command of a request sends: an LED request's mask, a pin request's pin byte,
// else none.
uint8_t commandData(const ScriptRequest& request);

// The name under which a panel serves the scripts of its own JTAG library and board: the same for a qbv
// in the panel's folder with the same board chosen, so each reaches the panel of its own board.
std::string panelServerName(const std::string& folder);

} // namespace qbv::session
