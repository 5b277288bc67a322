#pragma once

#include <nlohmann/json.hpp>

#include <string>

namespace qbv::cli {

// qbv's JSON values; an object keeps its members in the order they were added.
using Json = nlohmann::ordered_json;

// The value on one line. Bytes that are not UTF-8 (the program's texts are 8-bit, a command line may be
// anything) become U+FFFD, so a strict parser takes every line qbv writes.
std::string jsonText(const Json& value);

// The members of both objects, the first's first.
Json merged(Json first, const Json& second);

} // namespace qbv::cli
