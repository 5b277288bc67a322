#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qbv::cli {

class JsonArray;

// A JSON object written member by member, in the order added. Enough for qbv's results: text, whole
// numbers, flags, and nested arrays and objects.
class JsonObject {
public:
    JsonObject& addString(std::string_view key, std::string_view value);
    JsonObject& addNumber(std::string_view key, int64_t value);
    JsonObject& addBool(std::string_view key, bool value);
    JsonObject& addObject(std::string_view key, const JsonObject& value);
    JsonObject& addArray(std::string_view key, const JsonArray& value);
    // The other object's members after this one's.
    JsonObject& append(const JsonObject& other);

    std::string text() const { return "{" + members_ + "}"; }

private:
    JsonObject& addRaw(std::string_view key, const std::string& json);
    std::string members_;
};

class JsonArray {
public:
    JsonArray& addString(std::string_view value);
    JsonArray& addNumber(int64_t value);
    JsonArray& addObject(const JsonObject& value);
    bool empty() const { return elements_.empty(); }

    std::string text() const { return "[" + elements_ + "]"; }

private:
    JsonArray& addRaw(const std::string& json);
    std::string elements_;
};

// The text as a JSON string, quotes included. Control characters are escaped; other bytes pass as they
// are (the program's texts are 8-bit).
std::string jsonQuoted(std::string_view text);

} // namespace qbv::cli
