#pragma once

#include "cli/Console.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace qbv::test {

// What one in-process run of qbv left behind.
struct CliRun {
    int exitCode = -1;
    std::string out;
    std::string err;
    std::vector<int> leftWith; // exit codes the run asked to leave with at once
};

struct CliSetup {
    std::function<bool()> interrupted; // none: never interrupted
    bool terminal = false;
};

CliRun runQbv(const std::vector<std::string>& arguments, const CliSetup& setup = {});

// The lines of a text, without their line ends.
std::vector<std::string> lines(const std::string& text);

// An interrupt that arrives on the given poll (1 = the first time qbv looks).
std::function<bool()> interruptOnPoll(int poll);

// A JSON value read back by a parser of the tests' own, independent of qbv's writer.
struct JsonValue {
    enum class Kind { Null, Bool, Number, String, Array, Object };
    Kind kind = Kind::Null;
    bool flag = false;
    double number = 0;
    std::string text;
    std::vector<JsonValue> items;
    std::vector<std::pair<std::string, JsonValue>> members;

    // The member of that name; a null value when there is none.
    const JsonValue& operator[](const std::string& name) const;
    bool has(const std::string& name) const;
    std::vector<std::string> strings() const; // an array of strings
    std::vector<int> numbers() const;         // an array of whole numbers
};

// False unless the whole text is exactly one JSON value.
bool parseJson(const std::string& text, JsonValue& value);

} // namespace qbv::test
