#include "sim/core/ControlInterpreter.h"

#include "sim/core/BoardHost.h"
#include "sim/core/BoardState.h"
#include "sim/core/DesignFile.h"
#include "sim/core/Hex.h"
#include "sim/core/TextFields.h"

#include <vector>

namespace qbv::sim {

namespace {

using Words = std::vector<std::string>;

ControlAnswer ok(const std::string& details = "") {
    return {details.empty() ? "ok" : "ok " + details};
}
ControlAnswer error(const std::string& reason) {
    return {"error " + reason};
}

bool integerIn(const std::string& text, int64_t low, int64_t high, int64_t& value) {
    return parseInteger(text, value) && value >= low && value <= high;
}

ControlAnswer key(BoardHost& host, const Words& words, bool pressed) {
    int64_t key = 0;
    if (words.size() != 2 || !integerIn(words[1], 0, kKeyCount - 1, key))
        return error("key must be 0 to 3");
    host.board().setKey(static_cast<int>(key), pressed);
    return ok();
}

ControlAnswer keys(BoardHost& host, const Words& words) {
    int64_t mask = 0;
    if (words.size() != 2 || !integerIn(words[1], 0, 15, mask))
        return error("key mask must be 0 to 15");
    host.board().setKeys(static_cast<uint8_t>(mask));
    return ok();
}

ControlAnswer program(BoardHost& host, const Words& words) {
    std::vector<uint8_t> content;
    if (words.size() != 2 || !fromHex(words[1], content))
        return error("program needs the design file's content in hex");
    Design design;
    if (!readDesignFile(std::string(content.begin(), content.end()), design))
        return error("damaged design file");
    host.board().program();
    return ok("programmed " + design.name);
}

// "fault KIND [N]", "fault delay MS [N]", "fault clear".
ControlAnswer fault(BoardHost& host, const Words& words) {
    if (words.size() == 2 && words[1] == "clear") {
        host.faults().clear();
        return ok();
    }
    Fault kind{};
    if (words.size() < 2 || !FaultPlan::fromName(words[1].c_str(), kind))
        return error("unknown fault");
    const size_t countAt = kind == Fault::Delay ? 3 : 2;
    int64_t delayMs = 0;
    if (kind == Fault::Delay && (words.size() < 3 || !integerIn(words[2], 0, 600000, delayMs)))
        return error("delay needs milliseconds, 0 to 600000");
    int64_t count = FaultPlan::kUntilCleared;
    if (words.size() > countAt + 1 ||
        (words.size() == countAt + 1 && !integerIn(words[countAt], 1, 1000000, count)))
        return error("count must be 1 to 1000000");
    if (kind == Fault::Delay)
        host.faults().setDelay(static_cast<uint32_t>(delayMs), static_cast<int>(count));
    else
        host.faults().set(kind, static_cast<int>(count));
    return ok();
}

ControlAnswer simple(BoardHost& host, const std::string& command) {
    if (command == "state")
        return ok(formatState(snapshot(host)));
    if (command == "unplug" || command == "plug") {
        host.setPlugged(command == "plug");
        return ok();
    }
    if (command == "erase") {
        host.board().erase();
        return ok();
    }
    if (command == "quit")
        return {"ok", true};
    return error("unknown request");
}

} // namespace

ControlAnswer runControlLine(BoardHost& host, const std::string& line) {
    const Words words = splitText(line, ' ');
    if (words.empty())
        return error("empty request");
    const std::string& command = words[0];
    if (command == "press" || command == "release")
        return key(host, words, command == "press");
    if (command == "keys")
        return keys(host, words);
    if (command == "program")
        return program(host, words);
    if (command == "fault")
        return fault(host, words);
    if (command == "counters" && words.size() == 2 && words[1] == "reset") {
        host.resetCounters();
        return ok();
    }
    if (words.size() != 1)
        return error("unknown request");
    return simple(host, command);
}

} // namespace qbv::sim
