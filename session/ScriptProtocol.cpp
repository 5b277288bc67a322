#include "session/ScriptProtocol.h"

#include "board/BoardProtocol.h"
#include "common/Board.h"
#include "common/EnumTable.h"
#include "common/Format.h"
#include "platform/Environment.h"
#include "platform/ProgramLocation.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace qbv::session {

namespace {

using Json = nlohmann::json;

constexpr EnumName<ScriptVerb> kVerbs[] = {
    {ScriptVerb::Ping, "ping"}, {ScriptVerb::Led, "led"},     {ScriptVerb::Pin, "pin"},
    {ScriptVerb::Keys, "keys"}, {ScriptVerb::Watch, "watch"}, {ScriptVerb::Program, "program"},
};
static_assert(namesInEnumOrder(kVerbs, kScriptVerbCount));

// The row that holds the word, if one does.
const EnumName<ScriptVerb>* rowWithWord(const std::string& word) {
    const auto found = std::find_if(std::begin(kVerbs), std::end(kVerbs),
                                    [&](const EnumName<ScriptVerb>& row) { return word == row.name; });
    return found == std::end(kVerbs) ? nullptr : found;
}

// The whole number under the key, when it is one in range.
std::optional<int64_t> wholeNumber(const Json& object, const char* key, int64_t maximum) {
    const auto found = object.find(key);
    if (found == object.end() || !found->is_number_integer())
        return std::nullopt;
    const int64_t value = found->get<int64_t>();
    return value >= 0 && value <= maximum ? std::optional(value) : std::nullopt;
}

std::string stringAt(const Json& object, const char* key) {
    const auto found = object.find(key);
    return found != object.end() && found->is_string() ? found->get<std::string>() : std::string();
}

bool readArguments(const Json& object, ScriptRequest& request, std::string& error) {
    if (request.verb == ScriptVerb::Led) {
        const std::optional<int64_t> mask = wholeNumber(object, "mask", 0xFF);
        if (!mask)
            return (error = "led needs a mask from 0 to 255"), false;
        request.mask = static_cast<uint8_t>(*mask);
    } else if (request.verb == ScriptVerb::Pin) {
        const std::optional<int64_t> pin = wholeNumber(object, "pin", kPinCount - 1);
        const auto on = object.find("on");
        if (!pin || on == object.end() || !on->is_boolean())
            return (error = "pin needs a pin from 0 to 87 and on as true or false"), false;
        request.pin = static_cast<int>(*pin);
        request.on = on->get<bool>();
    }
    return true;
}

} // namespace

bool parseScriptRequest(std::string_view line, ScriptRequest& request, std::string& error) {
    if (line.size() > kMaxScriptLine)
        return (error = "request too long"), false;
    const Json object = Json::parse(line, nullptr, false);
    if (!object.is_object())
        return (error = "a request is one JSON object"), false;
    const std::string word = stringAt(object, "do");
    const EnumName<ScriptVerb>* known = rowWithWord(word);
    if (!known)
        return (error = "no such request: '" + word + "'"), false;
    request = {};
    request.verb = known->value;
    return readArguments(object, request, error);
}

std::string scriptRequestLine(const ScriptRequest& request) {
    Json object = {{"do", rowOf(kVerbs, request.verb).name}};
    if (request.verb == ScriptVerb::Led)
        object["mask"] = request.mask;
    if (request.verb == ScriptVerb::Pin) {
        object["pin"] = request.pin;
        object["on"] = request.on;
    }
    return object.dump() + "\n";
}

bool parseScriptReply(std::string_view line, ScriptReply& reply) {
    const Json object = Json::parse(line, nullptr, false);
    if (!object.is_object())
        return false;
    reply = {};
    if (const std::optional<int64_t> keys = wholeNumber(object, "keys", 0xFF))
        reply.keys = static_cast<uint8_t>(*keys);
    const auto ok = object.find("ok");
    if (ok == object.end()) {
        reply.event = true;
        const auto started = object.find("programming");
        reply.started = started != object.end() && started->is_boolean() && started->get<bool>();
        return reply.keys.has_value() != reply.started;
    }
    if (!ok->is_boolean())
        return false;
    if (ok->get<bool>())
        return true;
    const std::string why = stringAt(object, "why");
    const auto known = std::find_if(std::begin(kRefusals) + 1, std::end(kRefusals),
                                    [&why](const RefusalRow& row) { return why == row.word; });
    reply.refusal = known == std::end(kRefusals) ? Refusal::BadRequest : known->refusal;
    reply.text = stringAt(object, "text");
    reply.reason = stringAt(object, "reason");
    return true;
}

std::string scriptReplyLine(const ScriptReply& reply) {
    Json object = Json::object();
    if (!reply.event)
        object["ok"] = reply.refusal == Refusal::None;
    if (reply.started)
        object["programming"] = true;
    if (reply.keys)
        object["keys"] = *reply.keys;
    if (reply.refusal != Refusal::None) {
        object["why"] = refusalRow(reply.refusal).word;
        object["text"] = reply.text;
        if (!reply.reason.empty())
            object["reason"] = reply.reason;
    }
    // Texts from the library or the file system need not be UTF-8: replaced, never refused.
    return object.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::string refusalWords(Refusal refusal) {
    const char* words = refusalRow(refusal).words;
    return words ? formatText(words, text::kBoardName) : std::string();
}

ScriptReply refused(Refusal refusal, std::string text, std::string reason) {
    return {refusal, std::nullopt, std::move(text), std::move(reason)};
}

ScriptReply refused(Refusal refusal) {
    return refused(refusal, refusalWords(refusal));
}

const char* commandFailure(ScriptVerb verb) {
    switch (verb) {
    case ScriptVerb::Led:
        return text::kUpdateLedFail;
    case ScriptVerb::Pin:
        return text::kUpdateGpioFail;
    default:
        return refusalRow(Refusal::Failed).words;
    }
}

uint8_t commandData(const ScriptRequest& request) {
    if (request.verb == ScriptVerb::Led)
        return request.mask;
    return request.verb == ScriptVerb::Pin ? board::pinByte(request.pin, request.on) : 0;
}

std::string panelServerName(const std::string& folder) {
    const std::string identity = platform::canonicalFolder(folder) + "\n" +
                                 platform::environmentVariable("QBV_VIRTUAL_BOARD") + "\n" +
                                 platform::environmentVariable("QBV_JTAG_CABLE");
    uint32_t hash = 2166136261u; // FNV-1a: short and stable, not secret
    for (const unsigned char c : identity)
        hash = (hash ^ c) * 16777619u;
    char name[32];
    std::snprintf(name, sizeof name, "qbv-panel-%08x", hash);
    return name;
}

} // namespace qbv::session
