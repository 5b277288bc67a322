#pragma once

#include "Console.h"
#include "Json.h"
#include "common/Messages.h"

#include <string>
#include <vector>

namespace qbv::cli {

// How one command reports: in words (results on standard output, failures on standard error), or with
// --json as one JSON object per result on standard output. A failure's words go to standard error in
// both cases, so that a script reading standard output sees only results.
class Reporter {
public:
    Reporter(Console& console, bool json, const char* command);

    bool json() const { return json_; }
    Console& console() { return console_; }

    // A result: its words, or {"command":..., "ok":true, fields...}.
    void result(const std::string& words, const Json& fields);

    // Work under way, in words only; JSON output carries results alone.
    void status(const std::string& words);

    // A failure: its message, or {"command":..., "ok":false, "exit":..., "error":..., "messages":[...],
    // fields..., "reason":...}. Returns the exit code, so a command can end with `return
    // reporter.failure(...)`. A reason, when given, comes first on a line of its own, and in the JSON as
    // "reason".
    int failure(int exitCode, const std::string& message, const Json& fields = Json::object(),
                const std::string& reason = {});

    // What the panel would show in a message box: a line on standard error titled after its kind, kept
    // for the JSON failure object.
    void message(MessageKind kind, const std::string& text);

private:
    Json head(bool ok) const;

    Console& console_;
    bool json_;
    const char* command_;
    std::vector<std::string> messages_;
};

} // namespace qbv::cli
