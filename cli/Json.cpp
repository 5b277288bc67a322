#include "Json.h"

#include <cstdio>

namespace qbv::cli {

std::string jsonQuoted(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        switch (c) {
        case '"':
            quoted += "\\\"";
            break;
        case '\\':
            quoted += "\\\\";
            break;
        case '\n':
            quoted += "\\n";
            break;
        case '\r':
            quoted += "\\r";
            break;
        case '\t':
            quoted += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                quoted += escaped;
            } else {
                quoted += c;
            }
        }
    }
    return quoted + "\"";
}

JsonObject& JsonObject::addRaw(std::string_view key, const std::string& json) {
    if (!members_.empty())
        members_ += ',';
    members_ += jsonQuoted(key) + ":" + json;
    return *this;
}

JsonObject& JsonObject::addString(std::string_view key, std::string_view value) {
    return addRaw(key, jsonQuoted(value));
}

JsonObject& JsonObject::addNumber(std::string_view key, int64_t value) {
    return addRaw(key, std::to_string(value));
}

JsonObject& JsonObject::addBool(std::string_view key, bool value) {
    return addRaw(key, value ? "true" : "false");
}

JsonObject& JsonObject::addObject(std::string_view key, const JsonObject& value) {
    return addRaw(key, value.text());
}

JsonObject& JsonObject::addArray(std::string_view key, const JsonArray& value) {
    return addRaw(key, value.text());
}

JsonObject& JsonObject::append(const JsonObject& other) {
    if (!members_.empty() && !other.members_.empty())
        members_ += ',';
    members_ += other.members_;
    return *this;
}

JsonArray& JsonArray::addRaw(const std::string& json) {
    if (!elements_.empty())
        elements_ += ',';
    elements_ += json;
    return *this;
}

JsonArray& JsonArray::addString(std::string_view value) {
    return addRaw(jsonQuoted(value));
}

JsonArray& JsonArray::addNumber(int64_t value) {
    return addRaw(std::to_string(value));
}

JsonArray& JsonArray::addObject(const JsonObject& value) {
    return addRaw(value.text());
}

} // namespace qbv::cli
