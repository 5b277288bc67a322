#pragma once

#include <cstdint>
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

// The name under which a panel serves the scripts of its own JTAG library and board: the same for a qbv
// in the panel's folder with the same board chosen, so each reaches the panel of its own board.
std::string panelServerName();

} // namespace qbv::session
