#include "sim/core/BoardState.h"

#include "sim/core/BoardHost.h"
#include "sim/core/TextFields.h"

#include <cstdio>
#include <map>

namespace qbv::sim {

namespace {

std::string pinList(const std::vector<int>& pins) {
    if (pins.empty())
        return "-";
    std::string text;
    for (int pin : pins)
        text += (text.empty() ? "" : ",") + std::to_string(pin);
    return text;
}

bool parsePinList(const std::string& text, std::vector<int>& pins) {
    pins.clear();
    if (text == "-")
        return true;
    for (const std::string& item : splitText(text, ',')) {
        int64_t pin = 0;
        if (!parseInteger(item, pin) || pin < 0 || pin > 87)
            return false;
        pins.push_back(static_cast<int>(pin));
    }
    return true;
}

std::string hexByte(uint8_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

template <typename T> bool field(const std::map<std::string, std::string>& fields, const char* key, T& out) {
    const auto found = fields.find(key);
    int64_t value = 0;
    if (found == fields.end() || !parseInteger(found->second, value))
        return false;
    out = static_cast<T>(value);
    return true;
}

} // namespace

BoardState snapshot(const BoardHost& host) {
    BoardState state;
    const VirtualBoard& board = host.board();
    state.programmed = board.programmed();
    state.plugged = host.plugged();
    state.linkOpen = host.linkOpen();
    state.leds = board.ledMask();
    state.pins = board.activePins();
    state.keys = board.keys();
    state.received = board.bytesReceived();
    state.sent = board.bytesSent();
    state.stallsCleared = host.stallsCleared();
    for (int i = 0; i < kFaultKinds; ++i)
        state.faults[i] = host.faults().remaining(static_cast<Fault>(i));
    state.delayMs = host.faults().delayMs();
    return state;
}

std::string formatState(const BoardState& state) {
    std::string text = "programmed=" + std::to_string(state.programmed) +
                       " plugged=" + std::to_string(state.plugged) +
                       " link=" + std::to_string(state.linkOpen) + " leds=" + hexByte(state.leds) +
                       " pins=" + pinList(state.pins) + " keys=" + hexByte(state.keys) +
                       " received=" + std::to_string(state.received) + " sent=" + std::to_string(state.sent) +
                       " stalls-cleared=" + std::to_string(state.stallsCleared);
    for (int i = 0; i < kFaultKinds; ++i)
        text +=
            std::string(" ") + FaultPlan::name(static_cast<Fault>(i)) + "=" + std::to_string(state.faults[i]);
    return text + " delay-ms=" + std::to_string(state.delayMs);
}

bool parseState(const std::string& text, BoardState& state) {
    std::map<std::string, std::string> fields;
    for (const std::string& item : splitText(text, ' ')) {
        const size_t equals = item.find('=');
        if (equals != std::string::npos)
            fields[item.substr(0, equals)] = item.substr(equals + 1);
    }
    BoardState parsed;
    bool ok = field(fields, "programmed", parsed.programmed) && field(fields, "plugged", parsed.plugged) &&
              field(fields, "link", parsed.linkOpen) && field(fields, "leds", parsed.leds) &&
              field(fields, "keys", parsed.keys) && field(fields, "received", parsed.received) &&
              field(fields, "sent", parsed.sent) && field(fields, "stalls-cleared", parsed.stallsCleared) &&
              field(fields, "delay-ms", parsed.delayMs) && fields.count("pins") != 0 &&
              parsePinList(fields["pins"], parsed.pins);
    for (int i = 0; ok && i < kFaultKinds; ++i)
        ok = field(fields, FaultPlan::name(static_cast<Fault>(i)), parsed.faults[i]);
    if (ok)
        state = parsed;
    return ok;
}

} // namespace qbv::sim
