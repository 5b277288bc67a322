#include "sim/control/BoardControl.h"

#include "sim/core/Hex.h"
#include "sim/core/WireProtocol.h"

#include <fstream>
#include <iterator>
#include <sstream>

namespace qbv::sim {

BoardControl::BoardControl(std::string boardName)
    : name_(std::move(boardName)), received_(wire::kMaxControlLine) {}

bool BoardControl::connect() {
    received_.clear();
    std::string refusal;
    const std::string path = controlSocketPath(name_, &refusal);
    if (path.empty()) {
        lastReply_ = "error " + refusal;
        return false;
    }
    switch (socket_.connectTo(path)) {
    case Opened::Yes:
        return true;
    case Opened::NotOurs:
        lastReply_ = "error the board's socket " + path + " belongs to another user, so it is not used";
        return false;
    case Opened::Busy:
        lastReply_ = "error the board at " + path +
                     " takes no connection: it may be stopped (end it and start it again)";
        return false;
    case Opened::NoServer:
        break;
    }
    lastReply_ = "error no board is serving " + path;
    return false;
}

bool BoardControl::request(const std::string& line) {
    if (line.find('\n') != std::string::npos) {
        lastReply_ = "error a request is one line";
        return false;
    }
    if (!socket_.isConnected() && !connect())
        return false;
    const Deadline deadline = deadlineIn(timeoutMs_);
    const std::string framed = line + "\n";
    std::string reply;
    if (!sendAll(socket_.connection(), reinterpret_cast<const uint8_t*>(framed.data()), framed.size(),
                 deadline) ||
        !receiveLine(reply, deadline)) {
        socket_.close();
        lastReply_ = "error the board did not answer";
        return false;
    }
    lastReply_ = reply;
    return reply == "ok" || reply.rfind("ok ", 0) == 0;
}

bool BoardControl::receiveLine(std::string& line, Deadline deadline) {
    while (!received_.takeLine(line)) {
        uint8_t space[4096];
        const long long got =
            received_.overflowed() ? -1 : receiveSome(socket_.connection(), space, sizeof space, deadline);
        if (got <= 0)
            return false;
        received_.append(std::string_view(reinterpret_cast<const char*>(space), static_cast<size_t>(got)));
    }
    return true;
}

std::string BoardControl::replyDetails() const {
    return lastReply_.size() > 3 ? lastReply_.substr(3) : "";
}

std::string BoardControl::errorDetails() const {
    return lastReply_.starts_with("error ") ? lastReply_.substr(6) : lastReply_;
}

bool BoardControl::press(int key) {
    return request("press " + std::to_string(key));
}
bool BoardControl::release(int key) {
    return request("release " + std::to_string(key));
}
bool BoardControl::setKeys(uint8_t mask) {
    return request("keys " + std::to_string(mask));
}
bool BoardControl::plug() {
    return request("plug");
}
bool BoardControl::unplug() {
    return request("unplug");
}
bool BoardControl::erase() {
    return request("erase");
}
bool BoardControl::clearFaults() {
    return request("fault clear");
}
bool BoardControl::resetCounters() {
    return request("counters reset");
}
bool BoardControl::quit() {
    return request("quit");
}

bool BoardControl::program(const std::string& designFileContent) {
    return request("program " +
                   toHex(std::vector<uint8_t>(designFileContent.begin(), designFileContent.end())));
}

bool BoardControl::programFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        lastReply_ = "error cannot read " + path;
        return false;
    }
    std::ostringstream content;
    content << file.rdbuf();
    return program(content.str());
}

bool BoardControl::injectFault(Fault fault, int count) {
    std::string line = std::string("fault ") + FaultPlan::name(fault);
    if (fault == Fault::Delay)
        line += " 0";
    if (count > 0)
        line += " " + std::to_string(count);
    return request(line);
}

bool BoardControl::delayReplies(uint32_t delayMs, int count) {
    std::string line = "fault delay " + std::to_string(delayMs);
    if (count > 0)
        line += " " + std::to_string(count);
    return request(line);
}

bool BoardControl::state(BoardState& state) {
    return request("state") && parseState(replyDetails(), state);
}

} // namespace qbv::sim
